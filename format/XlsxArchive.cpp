#include "XlsxArchive.h"

#include "UserError.h"

#include <QFile>

#include <zip.h>

namespace vastrel {

namespace {

constexpr qint64 kChunkBytes = 64 * 1024;

// Why libzip could not open a file, in plain words.
QString openFailure(int code) {
    if (code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS)
        return QStringLiteral("it is not an XLSX workbook (not a zip archive)");
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString reason = QString::fromLocal8Bit(zip_error_strerror(&error));
    zip_error_fini(&error);
    return reason;
}

} // namespace

XlsxArchive::XlsxArchive(const QString& path, qint64 maxPartBytes)
    : m_path(path), m_maxPartBytes(maxPartBytes), m_zip(nullptr, zip_close) {
    int code = ZIP_ER_OK;
    zip* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!archive)
        fail(openFailure(code));
    m_zip.reset(archive);
}

XlsxArchive::~XlsxArchive() = default;

void XlsxArchive::fail(const QString& what) const {
    throw UserError(QStringLiteral("Cannot read %1: %2").arg(m_path, what));
}

bool XlsxArchive::contains(const QString& name) const {
    return zip_name_locate(m_zip.get(), name.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
}

QByteArray XlsxArchive::read(const QString& name) const {
    const zip_int64_t index =
        zip_name_locate(m_zip.get(), name.toUtf8().constData(), ZIP_FL_NOCASE);
    if (index < 0)
        fail(QStringLiteral("the part %1 is missing").arg(name));
    const QString tooBig =
        QStringLiteral("the part %1 is bigger than %2 MB").arg(name).arg(m_maxPartBytes >> 20);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_zip.get(), index, 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) &&
        stat.size > static_cast<zip_uint64_t>(m_maxPartBytes))
        fail(tooBig);
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(zip_fopen_index(m_zip.get(), index, 0),
                                                           zip_fclose);
    if (!file)
        fail(QStringLiteral("the part %1 cannot be opened: %2")
                 .arg(name, QString::fromLocal8Bit(zip_strerror(m_zip.get()))));
    // The stated size may lie: the cap holds for the bytes actually inflated.
    QByteArray content;
    if (stat.valid & ZIP_STAT_SIZE)
        content.reserve(static_cast<qsizetype>(stat.size));
    for (;;) {
        const qsizetype at = content.size();
        content.resize(at + kChunkBytes);
        const zip_int64_t got = zip_fread(file.get(), content.data() + at, kChunkBytes);
        if (got < 0)
            fail(QStringLiteral("the part %1 is damaged: %2")
                     .arg(name, QString::fromLocal8Bit(zip_file_strerror(file.get()))));
        content.resize(at + got);
        if (got == 0)
            return content;
        if (content.size() > m_maxPartBytes)
            fail(tooBig);
    }
}

} // namespace vastrel
