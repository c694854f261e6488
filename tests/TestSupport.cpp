#include "TestSupport.h"

#include "Schema.h"

#include <QFile>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

QString serverUri(const QString& database) {
    return QStringLiteral("postgresql://vastrel@/%1?host=%2")
        .arg(database, qEnvironmentVariable("VASTREL_TEST_SERVER_HOST"));
}

Database serverAdmin() {
    return Database::connectServer(serverUri(QStringLiteral("postgres")),
                                   ServerDatabase::password());
}

} // namespace

ServerDatabase::ServerDatabase(const QString& options) {
    if (qEnvironmentVariableIsEmpty("VASTREL_TEST_SERVER_HOST"))
        return;
    static int made = 0;
    const QString name = QStringLiteral("vastrel_test_%1_%2").arg(::getpid()).arg(++made);
    // A name and options of ours, never a text from outside.
    serverAdmin().exec("CREATE DATABASE " + name + ' ' + options);
    m_name = name;
}

ServerDatabase::~ServerDatabase() {
    if (!available())
        return;
    try {
        serverAdmin().exec("DROP DATABASE " + m_name + " WITH (FORCE)");
    } catch (const DbError&) {
        // The cluster goes at the end of the run anyway.
    }
}

QString ServerDatabase::uri() const {
    return serverUri(m_name);
}

std::string ServerDatabase::password() {
    return qEnvironmentVariable("VASTREL_TEST_SERVER_PASSWORD").toStdString();
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
