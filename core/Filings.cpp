#include "Filings.h"

#include "Database.h"
#include "DurableFile.h"
#include "History.h"
#include "InstallationFiles.h"
#include "UserError.h"

#include <QSysInfo>

#include <QtEndian>
#include <openssl/sha.h>

namespace vastrel {

namespace {

const QString kCompression = QStringLiteral("zlib");
// Flat files are padded records that repeat: at level 8 zlib finds the repeats of whole
// records, a sixth smaller than at its default level.
constexpr int kCompressionLevel = 8;

// OpenSSL's SHA-256 uses the processor's instructions for it: a tenth of the time of Qt's own.
QString sha256Of(const QByteArray& bytes) {
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(bytes.constData()),
           static_cast<size_t>(bytes.size()), digest);
    return QString::fromLatin1(
        QByteArray::fromRawData(reinterpret_cast<const char*>(digest), sizeof digest).toHex());
}

// The filed bytes of a row of (sha256, content, compression, filesize). A damaged content
// comes back as other bytes, which its SHA-256 then refuses; its stated size is checked before
// it is inflated, so that a forged one cannot make it claim all memory.
QByteArray storedBytes(const QVariantList& row) {
    const QByteArray content = row.at(1).toByteArray();
    if (row.at(2).toString() != kCompression)
        return content;
    const qint64 size = row.at(3).toLongLong();
    if (content.size() < 4 || qFromBigEndian<quint32>(content.constData()) != size)
        return {};
    return qUncompress(content);
}

} // namespace

FilingContent filingContent(const QByteArray& bytes) {
    return {sha256Of(bytes), bytes.size(), qCompress(bytes, kCompressionLevel)};
}

qint64 recordFiling(Database& db, const QString& nodaftar, const QString& fileName,
                    const FilingContent& content) {
    db.exec(QStringLiteral("INSERT INTO tblfiling (nodaftar, filedat, username, host, filename, "
                           "sha256, filesize, compression, content) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {nodaftar, recordedNow(), recordedUser(db), QSysInfo::machineHostName(), fileName,
             content.sha256, content.size, kCompression, content.compressed});
    return db.lastInsertId();
}

QList<Filing> listFilings(const Database& db, const QString& nodaftar) {
    const RowSet rows = db.query(
        QStringLiteral("SELECT idfiling, nodaftar, filedat, username, host, filename, sha256, "
                       "coalesce(filesize, length(content)) FROM tblfiling WHERE nodaftar = ? "
                       "ORDER BY idfiling DESC"),
        {nodaftar});
    QList<Filing> filings;
    for (int i = 0; i < rows.recordCount(); ++i) {
        const QVariantList& r = rows.row(i);
        filings.append({r[0].toLongLong(), r[1].toString(), r[2].toString(), r[3].toString(),
                        r[4].toString(), r[5].toString(), r[6].toString(), r[7].toLongLong()});
    }
    return filings;
}

QByteArray filedBytes(const Database& db, qint64 id) {
    const RowSet rows =
        db.query(QStringLiteral("SELECT sha256, content, compression, filesize FROM tblfiling "
                                "WHERE idfiling = ?"),
                 {id});
    if (rows.recordCount() == 0)
        throw UserError(QStringLiteral("There is no filing %1").arg(id),
                        QStringLiteral("Pengiriman %1 tidak ada").arg(id));
    const QByteArray bytes = storedBytes(rows.row(0));
    if (sha256Of(bytes) != rows.row(0).at(0).toString())
        throw UserError(QStringLiteral("Filing %1 has been tampered with: its bytes no longer "
                                       "match their SHA-256")
                            .arg(id),
                        QStringLiteral("Pengiriman %1 telah diubah: isinya tidak sesuai dengan "
                                       "SHA-256-nya")
                            .arg(id));
    return bytes;
}

void saveFiling(const Database& db, qint64 id, const QString& path) {
    const QByteArray bytes = filedBytes(db, id);
    refuseInstallationFile(path);
    writeFileDurably(path, bytes);
}

} // namespace vastrel
