#include "DurableFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vastrel {

namespace {

struct Reason {
    int code;
    const char* english;
    const char* indonesian;
};

constexpr Reason kReasons[] = {
    {ENOSPC, "No space left on device", "Disk penuh"},
    {EDQUOT, "Disk quota exceeded", "Kuota disk habis"},
    {EFBIG, "File too large", "File terlalu besar"},
    {EACCES, "Permission denied", "Tidak ada izin menulis"},
    {EPERM, "Permission denied", "Tidak ada izin menulis"},
    {ENOENT, "Folder does not exist", "Folder tidak ditemukan"},
    {ENOTDIR, "Not a folder", "Bukan sebuah folder"},
    {EISDIR, "The target is a folder", "Tujuan adalah sebuah folder"},
    {EROFS, "Read-only file system", "Media hanya dapat dibaca"},
    {EIO, "Input/output error", "Kesalahan baca/tulis pada disk"},
    {ENAMETOOLONG, "File name too long", "Nama file terlalu panjang"},
};

const Reason* findReason(int code) {
    for (const Reason& reason : kReasons) {
        if (reason.code == code)
            return &reason;
    }
    return nullptr;
}

DurableSyscalls g_syscalls{::fsync, ::rename};

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// Syncs a folder so that a rename inside it is on the disk.
int syncFolder(const QString& folder) {
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int rc = g_syscalls.fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return rc;
}

QString folderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

// The mode a new file gets when the user's umask decides.
mode_t sharedMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A temporary file's name carries its writer's process, so that one left by a writer that
// was killed can be told from one being written.
QString temporaryPrefix(const QString& target) {
    return "." + QFileInfo(target).fileName() + ".vastrel-";
}

bool processLives(const QString& pid) {
    bool ok = false;
    const int number = pid.toInt(&ok);
    return ok && (::kill(number, 0) == 0 || errno == EPERM);
}

void removeTemporary(const QString& path) {
    ::unlink(native(path).constData());
    // A database engine that filled it keeps its journal beside it.
    ::unlink(native(path + "-journal").constData());
}

} // namespace

DurableSyscalls setDurableSyscalls(const DurableSyscalls& calls) {
    return std::exchange(g_syscalls, calls);
}

void removeStaleTemporaries(const QString& folder) {
    const QDir dir(folder);
    const QStringList left =
        dir.entryList({QStringLiteral(".*.vastrel-*")}, QDir::Files | QDir::Hidden | QDir::System);
    static const QRegularExpression writer(QStringLiteral("\\.vastrel-(\\d+)\\."));
    for (const QString& name : left) {
        const QRegularExpressionMatch match = writer.match(name);
        if (match.hasMatch() && !processLives(match.captured(1)))
            ::unlink(native(dir.filePath(name)).constData());
    }
}

FileWriteError::FileWriteError(const QString& path, int code)
    : UserError("Cannot write " + path + ": " + reasonInEnglish(code),
                "Gagal menulis file " + path + ": " + reasonInIndonesian(code)),
      m_path(path), m_code(code) {}

QString reasonInEnglish(int code) {
    const Reason* reason = findReason(code);
    return reason ? QString::fromLatin1(reason->english)
                  : QString::fromLocal8Bit(std::strerror(code));
}

QString reasonInIndonesian(int code) {
    const Reason* reason = findReason(code);
    return reason ? QString::fromLatin1(reason->indonesian)
                  : QStringLiteral("Kesalahan sistem (kode %1)").arg(code);
}

DurableFile::DurableFile(const QString& target, FileAccess access) {
    const QFileInfo info(target);
    // Writing through a link replaces the file it names, not the link.
    m_target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    removeStaleTemporaries(folderOf(m_target));
    QByteArray pattern = native(folderOf(m_target) + "/" + temporaryPrefix(m_target) +
                                QString::number(::getpid()) + ".XXXXXX");
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC); // created with mode 0600
    if (m_fd < 0)
        throw FileWriteError(m_target, errno);
    m_temporary = QFile::decodeName(pattern);
    struct stat existing {};
    const bool replaces =
        ::stat(native(m_target).constData(), &existing) == 0 && S_ISREG(existing.st_mode);
    if (access == FileAccess::OwnerOnly)
        ::fchmod(m_fd, replaces ? existing.st_mode & 0700 : 0600);
    else
        ::fchmod(m_fd, replaces ? existing.st_mode & 07777 : sharedMode());
}

DurableFile::~DurableFile() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_temporary.isEmpty())
        removeTemporary(m_temporary);
}

void DurableFile::fail(int code) {
    ::close(m_fd);
    m_fd = -1;
    removeTemporary(m_temporary);
    m_temporary.clear();
    throw FileWriteError(m_target, code);
}

void DurableFile::write(const QByteArray& data) {
    const char* at = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, at, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(n < 0 ? errno : ENOSPC);
        at += n;
        left -= n;
        m_written += n;
    }
}

QString DurableFile::temporaryPath() {
    m_filledElsewhere = true;
    return m_temporary;
}

void DurableFile::sync() {
    if (g_syscalls.fsync(m_fd) != 0)
        fail(errno);
    struct stat written {};
    if (::fstat(m_fd, &written) != 0)
        fail(errno);
    if (!m_filledElsewhere && written.st_size != m_written)
        fail(EIO);
    m_synced = true;
}

void DurableFile::commit() {
    if (!m_synced)
        sync();
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0)
        fail(errno);
    if (g_syscalls.rename(native(m_temporary).constData(), native(m_target).constData()) != 0)
        fail(errno);
    m_temporary.clear();
    if (const int code = syncFolder(folderOf(m_target)))
        throw FileWriteError(m_target, code);
}

void writeFileDurably(const QString& path, const QByteArray& content, FileAccess access) {
    DurableFile file(path, access);
    file.write(content);
    file.commit();
}

void renameDurably(const QString& from, const QString& to) {
    if (g_syscalls.rename(native(from).constData(), native(to).constData()) != 0)
        throw FileWriteError(to, errno);
    if (const int code = syncFolder(folderOf(to)))
        throw FileWriteError(to, code);
}

} // namespace vastrel
