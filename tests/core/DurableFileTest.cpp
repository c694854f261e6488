#include "DurableFile.h"
#include "ManifestIni.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <functional>
#include <optional>
#include <sys/stat.h>

using namespace vastrel;
using namespace vastrel::test;

using DurableFileTest = TempDirTest;

TEST_F(DurableFileTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    const QByteArray old = "old content\r\n";
    const struct {
        const char* name;
        const char* target;
        long limit; // file size limit, as a full disk; 0 for none
        int code;
        std::function<void(const QString&)> write;
    } cases[] = {
        {"small file on a full disk", "out.txt", 8, EFBIG,
         [](const QString& p) { writeFileDurably(p, QByteArray(100, 'x')); }},
        {"large file on a full disk", "out.txt", 20000, EFBIG,
         [](const QString& p) { writeFileDurably(p, QByteArray(1 << 20, 'x')); }},
        {"MANIFEST.INI on a full disk", "MANIFEST.INI", 8, EFBIG,
         [](const QString& p) { WriteINI(p, "MANIFEST", "JENIS", "1"); }},
        {"missing folder", "no/such/out.txt", 0, ENOENT,
         [](const QString& p) { writeFileDurably(p, "x"); }},
        {"folder in the way", "folder", 0, EISDIR,
         [](const QString& p) { writeFileDurably(p, "x"); }},
    };
    QDir(folder()).mkdir("folder");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QFileInfo target(path(c.target));
        if (target.dir().exists() && !target.isDir())
            writeFile(c.target, old);
        try {
            std::optional<FileSizeLimit> limit;
            if (c.limit)
                limit.emplace(c.limit);
            c.write(path(c.target));
            ADD_FAILURE() << "reported as written";
        } catch (const FileWriteError& e) {
            EXPECT_EQ(e.code(), c.code) << e.what();
            EXPECT_TRUE(QString(e.what()).contains(reasonInEnglish(c.code)));
            EXPECT_TRUE(e.indonesian().contains(reasonInIndonesian(c.code)));
        }
        if (QFileInfo(path(c.target)).isFile()) {
            EXPECT_EQ(readFile(c.target), old);
        }
        EXPECT_EQ(QDir(folder()).entryList({".*"}, QDir::Files | QDir::Hidden), QStringList())
            << "temporary file left behind";
    }
    EXPECT_EQ(reasonInIndonesian(ENOSPC), "Disk penuh");
}

TEST_F(DurableFileTest, NewFilesGetTheirModeAndReplacedFilesKeepTheirs) {
    const mode_t mask = ::umask(022);
    writeFileDurably(path("shared.txt"), "a");
    writeFileDurably(path("secret.ini"), "a", FileAccess::OwnerOnly);
    for (const char* name : {"kept.txt", "narrowed.ini"}) {
        writeFile(name, "old");
        ::chmod(QFile::encodeName(path(name)).constData(), 0640);
    }
    writeFileDurably(path("kept.txt"), "new");
    writeFileDurably(path("narrowed.ini"), "new", FileAccess::OwnerOnly);
    ::umask(mask);
    EXPECT_EQ(fileMode(path("shared.txt")), 0644u);
    EXPECT_EQ(fileMode(path("secret.ini")), 0600u);
    EXPECT_EQ(fileMode(path("kept.txt")), 0640u);
    EXPECT_EQ(fileMode(path("narrowed.ini")), 0600u) << "a secret is its owner's alone";
    EXPECT_EQ(readFile("narrowed.ini"), "new");
}
