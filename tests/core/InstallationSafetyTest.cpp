#include "DatabaseBackup.h"
#include "DurableFile.h"
#include "Installation.h"
#include "PasswordChange.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSet>

#include <csignal>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

using namespace vastrel;
using namespace vastrel::test;

class InstallationSafetyTest : public TempDirTest {
protected:
    void SetUp() override { initInstallation({folder(), kTestPassword, false, true}); }

    int users() {
        return openInstallation(folder()).scalar("SELECT count(*) FROM tbluser").toInt();
    }

    // Runs the password change in a child process that is killed after `killAfter` (not at
    // all when empty) or `killAfterMicroseconds`; returns the note the next start gives.
    QString changeAndKill(const std::string& newPassword, std::optional<PasswordStep> killAfter,
                          int killAfterMicroseconds = -1) {
        const pid_t child = fork();
        if (child == 0) {
            AppState state = connectInstallation(folder());
            changeDatabasePassword(state, newPassword, [&](PasswordStep done) {
                if (killAfter == done)
                    std::raise(SIGKILL);
            });
            _exit(0);
        }
        if (killAfterMicroseconds >= 0) {
            usleep(static_cast<useconds_t>(killAfterMicroseconds));
            kill(child, SIGKILL);
        }
        int status = 0;
        waitpid(child, &status, 0);
        QString notes;
        connectInstallation(folder(), &notes);
        return notes;
    }

    int admin(const QStringList& args, const QByteArray& input = {}, QString* err = nullptr) {
        QProcess p;
        p.start(VASTREL_ADMIN_BIN, args);
        p.write(input);
        p.closeWriteChannel();
        p.waitForFinished();
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
};

TEST_F(InstallationSafetyTest, PasswordChangeKilledAtEveryStepLeavesAnInstallationThatOpens) {
    const struct {
        std::optional<PasswordStep> killAfter;
        const char* note; // what the next start says
    } cases[] = {
        {PasswordStep::PendingIniWritten, "undone"},
        {PasswordStep::DatabaseRekeyed, "finished"},
        {std::nullopt, ""},
    };
    int round = 0;
    for (const auto& c : cases) {
        const QString note = changeAndKill("new pw " + std::to_string(++round), c.killAfter);
        EXPECT_TRUE(*c.note ? note.contains(c.note) : note.isEmpty()) << note.toStdString();
        EXPECT_EQ(users(), 1);
        EXPECT_FALSE(QFile::exists(path(kPendingIniFileName)));
    }
    EXPECT_NO_THROW(Database::open(path(kDefaultDbFileName), "new pw 3"));
}

TEST_F(InstallationSafetyTest, PasswordChangeKilledDuringTheRekeyOfALargeDatabase) {
    {
        Database db = openInstallation(folder());
        Transaction tx(db);
        for (int i = 0; i < 4000; ++i)
            db.exec("INSERT INTO tblkapal (nmkapal) VALUES (?)",
                    {QString("KAPAL %1 ").arg(i) + QString(200, 'X')});
        tx.commit();
    }
    const int vessels = openInstallation(folder()).scalar("SELECT count(*) FROM tblkapal").toInt();
    QElapsedTimer clock;
    clock.start();
    changeAndKill("pw start", std::nullopt);
    const qint64 whole = clock.nsecsElapsed() / 1000; // one change with its checks, in us
    QSet<QString> outcomes;
    for (int kill = 0; kill < 16; ++kill) {
        const qint64 at = whole * kill / 16;
        outcomes << changeAndKill("pw " + std::to_string(kill), std::nullopt, int(at));
        EXPECT_EQ(openInstallation(folder()).scalar("SELECT count(*) FROM tblkapal").toInt(),
                  vessels)
            << "killed after " << at << " us";
    }
    EXPECT_GE(outcomes.size(), 2) << "the kills all fell at the same moment";
}

TEST_F(InstallationSafetyTest, PasswordChangeOnAFullDiskChangesNothing) {
    AppState state = connectInstallation(folder());
    {
        FileSizeLimit fullDisk(16);
        EXPECT_THROW(changeDatabasePassword(state, "other"), FileWriteError);
    }
    EXPECT_NO_THROW(connectInstallation(folder()));
    EXPECT_FALSE(QFile::exists(path(kPendingIniFileName)));
    QString err;
    FileSizeLimit fullDisk(16);
    EXPECT_EQ(admin({"password", "--home", folder(), "--password-stdin"}, "other\n", &err), 1);
    EXPECT_TRUE(err.contains("File too large")) << err.toStdString();
}

TEST_F(InstallationSafetyTest, BackupRestoresAndDamagedOrForeignFilesAreRefused) {
    backupInstallation(folder(), path("copy.db"));
    EXPECT_EQ(fileMode(path("copy.db")), 0600u);
    {
        Database db = openInstallation(folder());
        addUser(db, "LATER", "x");
    }

    QFile::copy(path("copy.db"), path("damaged.db"));
    QFile damaged(path("damaged.db"));
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    damaged.seek(5000);
    damaged.write(QByteArray(64, '\x55'));
    damaged.close();
    Database::create(path("foreign.db"), "another password");
    for (const char* refused : {"damaged.db", "foreign.db", "missing.db"}) {
        EXPECT_THROW(restoreInstallation(folder(), path(refused)), DbError) << refused;
        EXPECT_EQ(users(), 2) << refused;
    }

    const QString kept = restoreInstallation(folder(), path("copy.db"));
    EXPECT_EQ(users(), 1);
    EXPECT_EQ(Database::open(kept, kTestPassword).scalar("SELECT count(*) FROM tbluser").toInt(),
              2);
}

TEST_F(InstallationSafetyTest, PasswordsComeFromStandardInputWithoutTheCommandLine) {
    const QString home = path("stdin");
    QString err;
    EXPECT_EQ(admin({"init", home, "--password-stdin"}, "db pw\n"), 0);
    EXPECT_EQ(fileMode(home + "/MANIFEST.INI"), 0600u);
    EXPECT_EQ(fileMode(home + "/" + kDefaultDbFileName), 0600u);
    EXPECT_EQ(admin({"user", "add", "--home", home, "ANI", "--password-stdin"}, "ani pw\r\n"), 0);
    EXPECT_EQ(admin({"password", "--home", home, "--password-stdin"}, "db pw 2\n"), 0);
    EXPECT_NO_THROW(Database::open(home + "/" + kDefaultDbFileName, "db pw 2"));
    EXPECT_EQ(admin({"password", "--home", home}, {}, &err), 1) << "no terminal, no password";
    EXPECT_EQ(admin({"password", "--home", home, "db pw 3"}, {}, &err), 0);
    EXPECT_TRUE(err.contains("visible to other users"));

    QFile::setPermissions(home + "/MANIFEST.INI",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    EXPECT_EQ(admin({"tighten", "--home", home}), 0);
    EXPECT_EQ(fileMode(home + "/MANIFEST.INI"), 0600u);
}
