#pragma once

#include "Database.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace vastrel::test {

inline const std::string kTestPassword = "s3cret pw";

// A fresh temporary folder per test.
class TempDirTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString folder() const { return m_dir.path(); }
    void writeFile(const QString& name, const QByteArray& content) const;
    QByteArray readFile(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

// While it lives, no file this process (or a child it starts) writes may grow past
// `bytes`: writes fail with EFBIG as they would on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    long m_saved;
};

// An empty database of its own on the test server that scripts/test.sh starts (its socket
// folder in VASTREL_TEST_SERVER_HOST, the password in VASTREL_TEST_SERVER_PASSWORD), dropped
// when it goes. Without a test server it is not available.
class ServerDatabase {
public:
    // `options` of CREATE DATABASE, the test's own text.
    explicit ServerDatabase(const QString& options = {});
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    bool available() const { return !m_name.isEmpty(); }
    QString uri() const;
    static std::string password();

private:
    QString m_name;
};

// The permission bits of a file.
unsigned fileMode(const QString& path);

// A new database with every table, in a temporary folder.
class SchemaTest : public TempDirTest {
protected:
    void SetUp() override;
    int count(const QString& table, const QString& where = QStringLiteral("1"),
              const Params& params = {});
    Database db;
};

} // namespace vastrel::test
