#pragma once

#include "Database.h"
#include "Installation.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
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
    // The test server's superuser, which owns the database and makes its tables.
    static ServerLogin owner();
    // The clerk role of this database's installation, dropped with it.
    QString clerk() const { return m_name + "_clerk"; }
    // `options` changed to make the installation in this database.
    InitOptions installOn(InitOptions options) const;

private:
    QString m_name;
};

// Whether this run's database tests use the test server instead of the encrypted file: CTest
// runs them once on each engine, the second time with VASTREL_TEST_BACKEND=server.
bool onTestServer();

// Where one test's databases live on this run's engine: encrypted files, or a database of its
// own on the test server, dropped with it. Made for the server without a test server to use,
// it ends the test process before the test does anything, with exit code 77, which CTest
// counts as skipped.
class TestStore {
public:
    TestStore();
    // A new database with every table: in `file`, or on the server with the server's password.
    Database create(const QString& file, const std::string& password);
    // A connection of its own to the database made last, as another clerk's program has.
    Database connectAgain() const;
    // `options` changed to put the installation on this run's engine.
    InitOptions onEngine(InitOptions options);
    // Who changes the tables of an installation on this run's engine: none is needed on the file.
    static std::optional<ServerLogin> owner();

private:
    const ServerDatabase& server();
    std::optional<ServerDatabase> m_server;
    QString m_file;
    std::string m_password;
};

// The permission bits of a file.
unsigned fileMode(const QString& path);

// A new database with every table, in a temporary folder.
class SchemaTest : public TempDirTest {
protected:
    void SetUp() override;
    int count(const QString& table, const QString& where = QStringLiteral("1 = 1"),
              const Params& params = {});
    TestStore store;
    Database db;
};

} // namespace vastrel::test
