#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

namespace vastrel {

class Database;

// The register of filings: every flat file written for customs, kept byte for byte with its
// SHA-256, who wrote it, when and under which name. The program only ever adds to it.
struct Filing {
    qint64 id = 0;
    QString nodaftar;
    QString filedAt; // "yyyy-MM-dd HH:mm:ss" UTC
    QString user;
    QString host;
    QString fileName;
    QString sha256; // hex
    qint64 size = 0;
};

// What the register keeps of a flat file: its SHA-256 and size, and its bytes compressed.
struct FilingContent {
    QString sha256; // hex
    qint64 size = 0;
    QByteArray compressed;
};

// Makes the FilingContent of a file from its pieces as a writer hands them over, on a thread
// of its own: the compression of a large file costs the writer no time.
class FilingSealer {
public:
    FilingSealer();
    ~FilingSealer();
    FilingSealer(const FilingSealer&) = delete;
    FilingSealer& operator=(const FilingSealer&) = delete;

    // The next piece of the file; the writer changes it no more.
    void add(const QByteArray& piece);
    // Waits for the last piece to be compressed. Throws std::runtime_error when compression
    // failed (out of memory).
    FilingContent finish();

private:
    struct Work;
    std::unique_ptr<Work> m_work;
};

// Adds a filing for the manifest, inside the caller's transaction; returns its id.
qint64 recordFiling(Database& db, const QString& nodaftar, const QString& fileName,
                    const FilingContent& content);

// The manifest's filings, newest first.
QList<Filing> listFilings(const Database& db, const QString& nodaftar);

// The bytes filed under `id`. Throws UserError when there is no such filing, or when its
// bytes no longer match their SHA-256: a tampered filing is never served.
QByteArray filedBytes(const Database& db, qint64 id);

// Writes the bytes filed under `id` to `path` again, byte for byte, as filedBytes reads them.
// Throws as filedBytes does, and FileWriteError or UserError (an installation file) with
// `path` left as it was.
void saveFiling(const Database& db, qint64 id, const QString& path);

} // namespace vastrel
