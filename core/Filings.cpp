#include "Filings.h"

#include "Database.h"
#include "DurableFile.h"
#include "History.h"
#include "InstallationFiles.h"
#include "UserError.h"

#include <QSysInfo>

#include <QtEndian>
#include <openssl/evp.h>
#include <openssl/sha.h>
#include <zlib.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>

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

// The pieces wait in a queue; the thread compresses and hashes them in their order.
struct FilingSealer::Work {
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<QByteArray> pieces;
    bool last = false;
    std::string failure;
    z_stream zip{};
    EVP_MD_CTX* sha = EVP_MD_CTX_new();
    qint64 size = 0;
    QByteArray compressed;
    std::thread thread;

    Work() {
        if (!sha || EVP_DigestInit_ex(sha, EVP_sha256(), nullptr) != 1 ||
            deflateInit(&zip, kCompressionLevel) != Z_OK)
            failure = "compression could not start";
        // Room for the size qUncompress reads first, filled in at the end.
        compressed.resize(4);
    }
    ~Work() {
        deflateEnd(&zip);
        EVP_MD_CTX_free(sha);
    }

    // Compresses `piece`, the last with `flush` Z_FINISH.
    void deflatePiece(const QByteArray& piece, int flush) {
        zip.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.constData()));
        zip.avail_in = static_cast<uInt>(piece.size());
        int result = Z_OK;
        do {
            const qsizetype at = compressed.size();
            const uLong room = deflateBound(&zip, zip.avail_in) + 64;
            compressed.resize(at + static_cast<qsizetype>(room));
            zip.next_out = reinterpret_cast<Bytef*>(compressed.data() + at);
            zip.avail_out = static_cast<uInt>(room);
            result = deflate(&zip, flush);
            compressed.resize(compressed.size() - zip.avail_out);
        } while (result == Z_OK && (zip.avail_in > 0 || flush == Z_FINISH));
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR)
            throw std::runtime_error("the filing could not be compressed");
        if (EVP_DigestUpdate(sha, piece.constData(), static_cast<size_t>(piece.size())) != 1)
            throw std::runtime_error("the filing could not be hashed");
        size += piece.size();
    }

    void run() {
        for (;;) {
            std::unique_lock lock(mutex);
            ready.wait(lock, [this] { return !pieces.empty() || last; });
            if (pieces.empty())
                break;
            const QByteArray piece = std::move(pieces.front());
            pieces.pop_front();
            lock.unlock();
            if (failure.empty())
                tryTo([&] { deflatePiece(piece, Z_NO_FLUSH); });
        }
        if (failure.empty())
            tryTo([&] { deflatePiece({}, Z_FINISH); });
    }

    void tryTo(const std::function<void()>& step) {
        try {
            step();
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
};

FilingSealer::FilingSealer() : m_work(std::make_unique<Work>()) {
    m_work->thread = std::thread([work = m_work.get()] { work->run(); });
}

FilingSealer::~FilingSealer() {
    if (m_work->thread.joinable()) {
        {
            const std::lock_guard lock(m_work->mutex);
            m_work->last = true;
        }
        m_work->ready.notify_one();
        m_work->thread.join();
    }
}

void FilingSealer::add(const QByteArray& piece) {
    {
        const std::lock_guard lock(m_work->mutex);
        m_work->pieces.push_back(piece);
    }
    m_work->ready.notify_one();
}

FilingContent FilingSealer::finish() {
    {
        const std::lock_guard lock(m_work->mutex);
        m_work->last = true;
    }
    m_work->ready.notify_one();
    m_work->thread.join();
    Work& work = *m_work;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (work.failure.empty() && EVP_DigestFinal_ex(work.sha, digest, &length) != 1)
        work.failure = "the filing could not be hashed";
    if (!work.failure.empty())
        throw std::runtime_error(work.failure);
    qToBigEndian(static_cast<quint32>(work.size), work.compressed.data());
    const QByteArray hex =
        QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length)).toHex();
    return {QString::fromLatin1(hex), work.size, std::move(work.compressed)};
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
