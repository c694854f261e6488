// A server's password stays out of MANIFEST.INI's URI, out of messages and out of core files;
// a failed connection says why.

#include "CoreDumps.h"
#include "Installation.h"
#include "ManifestIni.h"
#include "StartUp.h"
#include "TestSupport.h"

#include <QProcess>

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vastrel;
using namespace vastrel::test;

namespace {

const QString kUriSecret = QStringLiteral("uri-secret");

struct AdminRun {
    int exitCode;
    QString errors;
};

AdminRun admin(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(VASTREL_ADMIN_BIN, args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished();
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

TEST(ServerAddress, APasswordWrittenInTheUriIsLeftOutWhenQuoted) {
    const std::pair<const char*, const char*> cases[] = {
        {"postgresql://clerk:pw@db.lan/vastrel", "postgresql://clerk@db.lan/vastrel"},
        {"postgresql://clerk:p%40w@h1:5432,h2:5433/db", "postgresql://clerk@h1:5432,h2:5433/db"},
        {"postgresql://clerk:pw@db.lan", "postgresql://clerk@db.lan"},
        {"postgres://clerk@/db?host=/run&password=pw&sslmode=require",
         "postgres://clerk@/db?host=/run&sslmode=require"},
        {"postgresql:///db?pass%77ord=pw", "postgresql:///db"},
        {"postgresql://clerk@db.lan:5433/db?sslmode=verify-full",
         "postgresql://clerk@db.lan:5433/db?sslmode=verify-full"},
        {"postgresql://db.lan:5432", "postgresql://db.lan:5432"},
    };
    for (const auto& [uri, shown] : cases) {
        EXPECT_EQ(withoutPassword(uri), shown) << uri;
        EXPECT_EQ(holdsPassword(uri), qstrcmp(uri, shown) != 0) << uri;
    }
}

TEST(ServerAddress, AnotherUserTakesThePlaceOfTheOneNamed) {
    const std::pair<const char*, const char*> cases[] = {
        {"postgresql://owner@db.lan/vastrel", "postgresql://clerk@db.lan/vastrel"},
        {"postgresql://db.lan:5433/db?user=owner&sslmode=require",
         "postgresql://clerk@db.lan:5433/db?sslmode=require"},
        {"postgres://owner@/db?host=/run", "postgres://clerk@/db?host=/run"},
    };
    for (const auto& [uri, named] : cases) {
        EXPECT_EQ(withUser(uri, "clerk"), named) << uri;
        EXPECT_EQ(uriUser(named), "clerk");
    }
}

using ServerSecretsTest = TempDirTest;

TEST_F(ServerSecretsTest, InitRefusesAUriThatHoldsAPassword) {
    InitOptions options{folder(), kTestPassword, false, false};
    options.server = "postgresql://clerk:" + kUriSecret + "@db.invalid/vastrel";
    try {
        initInstallation(options);
        ADD_FAILURE() << "a URI with a password was taken";
    } catch (const UserError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains("postgresql://clerk@db.invalid/vastrel"));
        EXPECT_FALSE(QString::fromUtf8(e.what()).contains(kUriSecret));
        EXPECT_FALSE(e.indonesian().contains(kUriSecret));
    }
    EXPECT_FALSE(QFile::exists(path(kIniFileName)));
}

// An installation made before the refusal may hold the password in its URI.
TEST_F(ServerSecretsTest, AServerThatCannotBeReachedIsSaidWithItsReasonAndNoPassword) {
    writeFile(kIniFileName, databaseValuesLine("postgresql://vastrel:" + kUriSecret +
                                                   "@/vastrel?host=" + path("nowhere"),
                                               kTestPassword));
    try {
        connectInstallation(folder());
        ADD_FAILURE() << "connected to no server";
    } catch (const DbError& e) {
        const QString message = QString::fromUtf8(e.what());
        EXPECT_TRUE(message.startsWith(kConnectionFailedMessage +
                                       "\nCannot connect to postgresql://vastrel@/"))
            << e.what();
        EXPECT_TRUE(e.indonesian().contains("No such file or directory")) << e.what();
        EXPECT_FALSE(message.contains(kUriSecret) || e.indonesian().contains(kUriSecret));
    }
}

TEST_F(ServerSecretsTest, AServerThatRefusesThePasswordSaysSo) {
    ServerDatabase server;
    if (!server.available())
        GTEST_SKIP() << "no test server: scripts/test.sh starts one";
    const AdminRun init = admin(
        {"init", folder(), "--server", server.uri(), "--clerk", server.clerk(), "--password-stdin"},
        QByteArray::fromStdString(ServerDatabase::password()) + '\n');
    ASSERT_EQ(init.exitCode, 0) << init.errors.toStdString();

    writeFile(kIniFileName, databaseValuesLine(server.uri(), "wrong password"));
    const AdminRun use = admin({"flatfile", "--home", folder(), "X", "-o", path("out.txt")});
    EXPECT_EQ(use.exitCode, 1);
    EXPECT_TRUE(use.errors.startsWith("vastrel-admin: " + kConnectionFailedMessage +
                                      "\nThe database server refused the password of the user "
                                      "vastrel"))
        << use.errors.toStdString();
    EXPECT_FALSE(use.errors.contains("FATAL")) << use.errors.toStdString();
    AppState state;
    state.programFolder = folder();
    ASSERT_EQ(StartUp(state), StartScreen::ConnectionFailed);
    EXPECT_TRUE(connectionFailure(state).indonesian().contains(
        "Password database ditolak oleh server untuk user vastrel"));
}

TEST(CoreDumps, AreForbiddenToTheProcessThatHoldsThePassword) {
    const pid_t child = fork();
    if (child == 0) {
        forbidCoreDumps();
        rlimit core{};
        getrlimit(RLIMIT_CORE, &core);
        _exit(core.rlim_cur == 0 && core.rlim_max == 0 && prctl(PR_GET_DUMPABLE) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace
