#include "TestSupport.h"

#include "Schema.h"

#include <QFile>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace vastrel::test {

void TempDirTest::writeFile(const QString& name, const QByteArray& content) const {
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray TempDirTest::readFile(const QString& name) const {
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

FileSizeLimit::FileSizeLimit(long bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_saved = static_cast<long>(limit.rlim_cur);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(m_saved);
    setrlimit(RLIMIT_FSIZE, &limit);
}

unsigned fileMode(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

void SchemaTest::SetUp() {
    db = Database::create(path("test.db"), kTestPassword);
    schema::create(db);
}

int SchemaTest::count(const QString& table, const QString& where, const Params& params) {
    return db.scalar("SELECT count(*) FROM " + table + " WHERE " + where, params).toInt();
}

} // namespace vastrel::test
