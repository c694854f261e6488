#include "XlsxArchive.h"

#include "UserError.h"

#include <QFile>

#include <zip.h>

namespace vastrel {

namespace {

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

QString tooBig(const QString& part, qint64 maxBytes) {
    return QStringLiteral("the part %1 is bigger than %2 MB").arg(part).arg(maxBytes >> 20);
}

} // namespace

XlsxPart::XlsxPart(zip_file* file, const QString& name, qint64 maxPartBytes, qint64 maxStretchBytes)
    : m_file(file, zip_fclose), m_name(name), m_maxPartBytes(maxPartBytes),
      m_maxStretchBytes(maxStretchBytes) {
    QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

XlsxPart::~XlsxPart() = default;

qint64 XlsxPart::stop(const QString& why) {
    m_failure = why;
    m_ended = true;
    return -1;
}

qint64 XlsxPart::readData(char* data, qint64 maxSize) {
    if (m_ended)
        return -1;
    const zip_int64_t got = zip_fread(m_file.get(), data, static_cast<zip_uint64_t>(maxSize));
    if (got < 0)
        return stop(QStringLiteral("the part %1 is damaged: %2")
                        .arg(m_name, QString::fromLocal8Bit(zip_file_strerror(m_file.get()))));
    if (got == 0) {
        m_ended = true;
        return -1;
    }
    // The stated size may lie: the cap holds for the bytes actually inflated.
    m_read += got;
    m_stretch += got;
    if (m_read > m_maxPartBytes)
        return stop(tooBig(m_name, m_maxPartBytes));
    if (m_stretch > m_maxStretchBytes)
        return stop(
            QStringLiteral("a cell or tag is bigger than %1 KB").arg(m_maxStretchBytes >> 10));
    return got;
}

XlsxArchive::XlsxArchive(const QString& path, qint64 maxPartBytes, qint64 maxStretchBytes)
    : m_path(path), m_maxPartBytes(maxPartBytes), m_maxStretchBytes(maxStretchBytes),
      m_zip(nullptr, zip_close) {
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

std::unique_ptr<XlsxPart> XlsxArchive::open(const QString& name) const {
    const zip_int64_t index =
        zip_name_locate(m_zip.get(), name.toUtf8().constData(), ZIP_FL_NOCASE);
    if (index < 0)
        fail(QStringLiteral("the part %1 is missing").arg(name));
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_zip.get(), index, 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) &&
        stat.size > static_cast<zip_uint64_t>(m_maxPartBytes))
        fail(tooBig(name, m_maxPartBytes));
    zip_file_t* file = zip_fopen_index(m_zip.get(), index, 0);
    if (!file)
        fail(QStringLiteral("the part %1 cannot be opened: %2")
                 .arg(name, QString::fromLocal8Bit(zip_strerror(m_zip.get()))));
    return std::make_unique<XlsxPart>(file, name, m_maxPartBytes, m_maxStretchBytes);
}

} // namespace vastrel
