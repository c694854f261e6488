#include "DurableFile.h"
#include "ManifestIni.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

namespace {

std::vector<std::string> g_calls;

int recordFsync(int fd) {
    struct stat info {};
    ::fstat(fd, &info);
    g_calls.push_back(S_ISDIR(info.st_mode) ? "fsync folder" : "fsync file");
    return ::fsync(fd);
}

int recordRename(const char* from, const char* to) {
    g_calls.push_back("rename");
    return ::rename(from, to);
}

} // namespace

TEST_F(DurableFileTest, TheDataIsOnTheDiskBeforeItsNameAndTheNameAfter) {
    const struct {
        const char* name;
        std::function<void(const QString&)> write;
        std::vector<std::string> calls;
    } cases[] = {
        {"file written",
         [](const QString& p) { writeFileDurably(p, "new"); },
         {"fsync file", "rename", "fsync folder"}},
        {"file renamed",
         [this](const QString& p) { renameDurably(path("moved.txt"), p); },
         {"rename", "fsync folder"}},
    };
    writeFile("moved.txt", "moved");
    for (const auto& c : cases) {
        g_calls.clear();
        const DurableSyscalls real = setDurableSyscalls({recordFsync, recordRename});
        c.write(path("out.txt"));
        setDurableSyscalls(real);
        EXPECT_EQ(g_calls, c.calls) << c.name;
    }
}
