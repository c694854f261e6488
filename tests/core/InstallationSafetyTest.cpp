#include "DatabaseBackup.h"
#include "DemoData.h"
#include "DurableFile.h"
#include "Installation.h"
#include "PasswordChange.h"
#include "Schema.h"
#include "StartUp.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStorageInfo>

#include <csignal>
#include <optional>
#include <sys/stat.h>
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

// A small disk of its own (a tmpfs, which needs root); unmounted when it goes.
class SmallDisk {
public:
    SmallDisk(const QString& where, int megabytes) : m_where(where) {
        QDir().mkpath(where);
        const QString size = QStringLiteral("size=%1m").arg(megabytes);
        m_mounted = geteuid() == 0 &&
                    QProcess::execute("mount", {"-t", "tmpfs", "-o", size, "tmpfs", where}) == 0;
    }
    ~SmallDisk() {
        if (m_mounted)
            QProcess::execute("umount", {"-l", m_where});
    }
    bool mounted() const { return m_mounted; }
    // Fills the disk until `bytes` are left.
    void fillUntil(qint64 bytes) const {
        QFile filler(m_where + "/filler");
        filler.open(QIODevice::WriteOnly);
        const qint64 free = QStorageInfo(m_where).bytesFree();
        filler.write(QByteArray(free - bytes, 'F'));
    }

private:
    QString m_where;
    bool m_mounted = false;
};

TEST_F(InstallationSafetyTest, PasswordChangeOnANearlyFullDiskFailsLoudlyAndTheOldPasswordStays) {
    const QString disk = path("disk");
    const SmallDisk small(disk, 3);
    if (!small.mounted())
        GTEST_SKIP() << "a tmpfs needs root";
    const QString home = disk + "/home";
    initInstallation({home, kTestPassword, false, true});
    {
        Database db = openInstallation(home);
        for (int i = 0; i < 300; ++i)
            db.exec("INSERT INTO tblkapal (nmkapal) VALUES (?)", {QString(200, 'K')});
    }
    for (const qint64 left : {4 * 1024, 20 * 1024, 40 * 1024}) {
        small.fillUntil(left);
        QString err;
        EXPECT_EQ(admin({"password", "--home", home, "--password-stdin"}, "new pw\n", &err), 1)
            << left << " bytes left";
        EXPECT_NO_THROW(openInstallation(home)) << err.toStdString();
        EXPECT_FALSE(QFile::exists(home + "/" + kPendingIniFileName));
        QFile::remove(disk + "/filler");
    }
}

TEST_F(InstallationSafetyTest, OutputsAreNeverWrittenOverTheInstallation) {
    const QString db = path(kDefaultDbFileName);
    const QByteArray ini = readFile(kIniFileName);
    const QString key = QString::fromLatin1(kDemoManifestKey);
    const QStringList refused[] = {
        {"flatfile", "--home", folder(), key, "-o", db},
        {"flatfile", "--home", folder(), key, "-o", db + "-journal"},
        {"report", "recap", "--home", folder(), key, "-o", db},
        {"template", "--kind", "sea", "-o", path(kIniFileName)},
        {"backup", "--home", folder(), path(kIniFileName)},
        {"backup", "--home", folder(), path(kPendingIniFileName)},
    };
    for (const QStringList& args : refused) {
        QString err;
        EXPECT_EQ(admin(args, {}, &err), 1) << args.join(' ').toStdString();
        EXPECT_TRUE(err.contains("is a file of the installation")) << err.toStdString();
        EXPECT_FALSE(QFile::exists(db + "-journal"));
        EXPECT_FALSE(QFile::exists(path(kPendingIniFileName)));
    }
    EXPECT_EQ(readFile(kIniFileName), ini);
    EXPECT_EQ(users(), 1);
    EXPECT_EQ(admin({"flatfile", "--home", folder(), key, "-o", path("manifest.txt")}), 0);
}

TEST_F(InstallationSafetyTest, WhatKilledWritersLeftIsRemovedAtTheNextStart) {
    const QString db = path(kDefaultDbFileName);
    const QString mine = QStringLiteral(".manifest.db.vastrel-%1.AAAAAA").arg(getpid());
    const QStringList left = {".manifest.db.vastrel-999999999.XyZ123",
                              ".manifest.db.vastrel-999999999.XyZ123-journal",
                              "manifest.db-mj0A1B2C3D"};
    for (const QString& name : left + QStringList{mine})
        writeFile(name, "left");
    connectInstallation(folder());
    for (const QString& name : left)
        EXPECT_FALSE(QFile::exists(path(name))) << name.toStdString();
    EXPECT_TRUE(QFile::exists(path(mine))) << "a living writer's file stays";
}

TEST_F(InstallationSafetyTest, BackupsRestoresAndNewFoldersAreTheOwnersAlone) {
    writeFile("old.db", "x");
    QFile::setPermissions(path("old.db"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther);
    backupInstallation(folder(), path("old.db"));
    EXPECT_EQ(fileMode(path("old.db")), 0600u);
    EXPECT_NE(restoreInstallation(folder(), path("old.db")),
              restoreInstallation(folder(), path("old.db")))
        << "two restores in one second keep both databases";
    const mode_t saved = ::umask(0);
    initInstallation({path("open"), kTestPassword, false, false});
    ::umask(saved);
    EXPECT_EQ(fileMode(path("open")), 0700u);
}

// An installation made before the tables recorded their version, with the demo data.
TEST_F(InstallationSafetyTest, AnInstallationOfTheFirstTablesIsUpgradedAfterACheckedBackup) {
    const QString home = path("v1");
    QDir().mkpath(home);
    for (const QString& name : {kIniFileName, kDefaultDbFileName})
        QFile::copy(VASTREL_FIXTURES "/installation-v1/" + name, home + "/" + name);
    QString err;
    ASSERT_EQ(admin({"upgrade", "--home", home}, {}, &err), 0) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("upgraded from version 1 to %1").arg(schema::kVersion)))
        << err.toStdString();
    const QStringList backups = QDir(home).entryList({"manifest.db.before-upgrade-*"});
    ASSERT_EQ(backups.size(), 1);
    const QString backup = home + "/" + backups[0];
    EXPECT_NO_THROW(verifyDatabaseFile(backup, "fixture pw"));
    EXPECT_EQ(schema::version(Database::open(backup, "fixture pw")), 1) << "kept as it was";
    const Database db = openInstallation(home);
    EXPECT_EQ(schema::version(db), schema::kVersion);
    EXPECT_EQ(db.scalar("SELECT status FROM tblheader WHERE nodaftar = ?",
                        {QString::fromLatin1(kDemoManifestKey)}),
              "Y");
    EXPECT_EQ(admin({"upgrade", "--home", home}, {}, &err), 0);
    EXPECT_EQ(QDir(home).entryList({"manifest.db.before-upgrade-*"}).size(), 1);
}
