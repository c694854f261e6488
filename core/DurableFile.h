#pragma once

#include "UserError.h"

#include <QByteArray>
#include <QString>

namespace vastrel {

// A file that could not be written or replaced. Whatever stood at the target before
// is still there, unchanged. `code` is the system's error number; indonesian() reads
// "Gagal menulis file PATH: Disk penuh".
class FileWriteError : public UserError {
public:
    FileWriteError(const QString& path, int code);
    const QString& path() const { return m_path; }
    int code() const { return m_code; }

private:
    QString m_path;
    int m_code;
};

// Why a file operation failed, in plain words ("No space left on device", "Disk penuh").
QString reasonInEnglish(int code);
QString reasonInIndonesian(int code);

// Who may read a new file: everybody the user's umask allows, or its owner alone
// (files holding secrets: MANIFEST.INI, databases, backups). A file that is replaced
// keeps its own mode, narrowed to its owner for a secret.
enum class FileAccess { Shared, OwnerOnly };

// Writes a file whole or not at all. The content goes to a temporary file in the
// target's folder; commit() checks every write, syncs the data, verifies the size,
// renames it over the target and syncs the folder. Until commit() returns the target
// is untouched, and a DurableFile dropped or failed removes its temporary file.
class DurableFile {
public:
    DurableFile(const QString& target, FileAccess access);
    ~DurableFile();
    DurableFile(const DurableFile&) = delete;
    DurableFile& operator=(const DurableFile&) = delete;

    void write(const QByteArray& data);
    // For a file another writer fills (a database engine): the temporary file, empty and
    // with the target's mode. commit() then syncs it as that writer left it.
    QString temporaryPath();
    // Checks every write and syncs the data, so that commit() has only the rename left;
    // commit() does it when it has not been done.
    void sync();
    void commit();

private:
    [[noreturn]] void fail(int code);

    QString m_target;
    QString m_temporary;
    int m_fd = -1;
    qint64 m_written = 0;
    bool m_filledElsewhere = false;
    bool m_synced = false;
};

// The system calls that make a write last, in the order commit() makes them: sync the
// file, rename it, sync the folder. A test substitutes them to watch that order.
struct DurableSyscalls {
    int (*fsync)(int fd);
    int (*rename)(const char* from, const char* to);
};
// Puts `calls` in force and returns those they replace.
DurableSyscalls setDurableSyscalls(const DurableSyscalls& calls);

// Removes the temporary files in `folder` that writers killed before their commit left.
void removeStaleTemporaries(const QString& folder);

// The common case: `content` becomes the whole file at `path`, or nothing changes.
void writeFileDurably(const QString& path, const QByteArray& content,
                      FileAccess access = FileAccess::Shared);

// Renames `from` over `to` and syncs the folder, so the new name survives a power loss.
void renameDurably(const QString& from, const QString& to);

} // namespace vastrel
