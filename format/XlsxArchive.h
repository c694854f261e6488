#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

struct zip;

namespace vastrel {

// The parts of an XLSX file (a zip archive), read whole with a size cap.
class XlsxArchive {
public:
    // Throws UserError when `path` cannot be read or is not a zip archive.
    XlsxArchive(const QString& path, qint64 maxPartBytes);
    ~XlsxArchive();
    XlsxArchive(const XlsxArchive&) = delete;
    XlsxArchive& operator=(const XlsxArchive&) = delete;

    // Whether the archive holds the part `name` (compared without regard to case).
    bool contains(const QString& name) const;
    // The bytes of the part `name`; throws UserError when it is missing, damaged or
    // bigger than the cap.
    QByteArray read(const QString& name) const;

private:
    [[noreturn]] void fail(const QString& what) const;

    QString m_path;
    qint64 m_maxPartBytes;
    std::unique_ptr<zip, int (*)(zip*)> m_zip;
};

} // namespace vastrel
