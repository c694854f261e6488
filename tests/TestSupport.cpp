#include "TestSupport.h"

#include "Schema.h"

#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstdlib>
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
        Database admin = serverAdmin();
        admin.exec("DROP DATABASE " + m_name + " WITH (FORCE)");
        admin.exec("DROP ROLE IF EXISTS " + clerk());
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

ServerLogin ServerDatabase::owner() {
    return {QStringLiteral("vastrel"), password()};
}

InitOptions ServerDatabase::installOn(InitOptions options) const {
    options.server = uri();
    options.password = password();
    options.clerk.name = clerk();
    return options;
}

bool onTestServer() {
    return qEnvironmentVariable("VASTREL_TEST_BACKEND") == QLatin1String("server");
}

TestStore::TestStore() {
    if (onTestServer() && qEnvironmentVariableIsEmpty("VASTREL_TEST_SERVER_HOST")) {
        std::fputs("no test server to run on: scripts/test.sh starts one\n", stderr);
        std::_Exit(77);
    }
}

const ServerDatabase& TestStore::server() {
    if (!m_server)
        m_server.emplace();
    return *m_server;
}

Database TestStore::create(const QString& file, const std::string& password) {
    m_file = file;
    m_password = password;
    Database db = onTestServer()
                      ? Database::connectServer(server().uri(), ServerDatabase::password())
                      : Database::create(file, password);
    if (!db.onServer())
        db.exec("PRAGMA synchronous = OFF"); // a throw-away file needs no flushing
    schema::create(db);
    return db;
}

Database TestStore::connectAgain() const {
    return m_server ? Database::connectServer(m_server->uri(), ServerDatabase::password())
                    : Database::open(m_file, m_password);
}

InitOptions TestStore::onEngine(InitOptions options) {
    return onTestServer() ? server().installOn(options) : options;
}

std::optional<ServerLogin> TestStore::owner() {
    return onTestServer() ? std::optional(ServerDatabase::owner()) : std::nullopt;
}

unsigned fileMode(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

void SchemaTest::SetUp() {
    db = store.create(path("test.db"), kTestPassword);
    ASSERT_EQ(db.onServer(), onTestServer());
}

int SchemaTest::count(const QString& table, const QString& where, const Params& params) {
    return db.scalar("SELECT count(*) FROM " + table + " WHERE " + where, params).toInt();
}

} // namespace vastrel::test
