#pragma once

#include <QIODevice>
#include <QString>

#include <memory>

struct zip;
struct zip_file;

namespace vastrel {

// One part of an XLSX file, inflated as it is read, so that a big part never sits in memory
// whole. It stops (reads as ended, with failure() saying why) when the part is damaged, when
// it inflates past the archive's cap, or when a stretch grows past its cap.
class XlsxPart : public QIODevice {
public:
    XlsxPart(zip_file* file, const QString& name, qint64 maxPartBytes, qint64 maxStretchBytes);
    ~XlsxPart() override;

    // Starts a stretch: from here, at most maxStretchBytes more may be read before the next
    // call. A reader calls it after every item it takes, so that no single item of the part
    // (a cell's text, a tag) can grow past the cap.
    void startStretch() { m_stretch = 0; }
    // Why reading stopped early; empty when it did not.
    const QString& failure() const { return m_failure; }

    bool isSequential() const override { return true; }
    bool atEnd() const override { return m_ended; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    qint64 stop(const QString& why);

    std::unique_ptr<zip_file, int (*)(zip_file*)> m_file;
    QString m_name;
    qint64 m_maxPartBytes;
    qint64 m_maxStretchBytes;
    qint64 m_read = 0;
    qint64 m_stretch = 0;
    bool m_ended = false;
    QString m_failure;
};

// The parts of an XLSX file (a zip archive).
class XlsxArchive {
public:
    // Throws UserError when `path` cannot be read or is not a zip archive.
    XlsxArchive(const QString& path, qint64 maxPartBytes, qint64 maxStretchBytes);
    ~XlsxArchive();
    XlsxArchive(const XlsxArchive&) = delete;
    XlsxArchive& operator=(const XlsxArchive&) = delete;

    // Whether the archive holds the part `name` (compared without regard to case).
    bool contains(const QString& name) const;
    // The part `name`, open for reading; throws UserError when it is missing or cannot be
    // opened, or when the archive states a size bigger than the cap.
    std::unique_ptr<XlsxPart> open(const QString& name) const;

private:
    [[noreturn]] void fail(const QString& what) const;

    QString m_path;
    qint64 m_maxPartBytes;
    qint64 m_maxStretchBytes;
    std::unique_ptr<zip, int (*)(zip*)> m_zip;
};

} // namespace vastrel
