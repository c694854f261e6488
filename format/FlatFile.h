#pragma once

#include "UserError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

namespace vastrel {

class Database;

// A flat file that could not be written; what() says why in words the user can act on.
// Nothing has been written to the target when it is thrown.
class FlatFileError : public UserError {
public:
    using UserError::UserError;
};

// ---- Field helpers: pure text functions the writer is built from ----

// Removes leading and trailing spaces (only code 32), then turns every CR and LF into a space.
QString CleanText(const QString& text);

// Turns every character whose ANSI (Windows-1252) code is not 10, 13 or 32 to 126 into a space.
// A character that code page cannot hold counts as "?" and becomes "?". The length never changes.
QString RemoveInvalidChar(const QString& text);

// A quantity: rounded half to even at four decimals, times 10000, at most 15 significant
// digits, left-padded with zeros to `width`. A longer text stays whole.
QString FormatDecimal(int width, double value);

// A whole number right-aligned with zeros to `digits`; a longer number stays whole.
QString zeroPadded(long long value, int digits);

// The text records ("DTL02" + kind + nn + piece) of one free text: one record up to 200
// characters, else pieces of 200 numbered "01" to "99"; the rest of the text is dropped.
QStringList textRecords(const QString& value, const QString& kind);

// One line in the file's single-byte code page (Windows-1252), one byte per UTF-16 unit;
// a character the code page cannot hold becomes "?".
QByteArray toAnsi(const QString& line);
// The bytes of a file of `lines`, each in that code page and ended by CR LF.
QByteArray fileBytes(const QStringList& lines);

// Why a manifest may not be written, in the order the generate command checks it: no
// header, no POS, or not ready (its stored status is not "Y"). Empty when it may be written.
QString generateRefusal(bool hasHeader, bool hasDetails, const QString& status);

// ---- The writer ----

// Builds the flat file of one manifest, the submission form for customs: one HDR01 record,
// then per POS a DTL01 record and the records that depend on it. `jenis` is the manifest
// kind setting, "0" sea or "1" air. Reads the database only.
class FlatFile {
public:
    FlatFile(const Database& db, QString nodaftar, QString jenis);

    // Every line of the file, without line ends, read back from the file's code page.
    // Throws FlatFileError when the header is missing or a value cannot be written in its
    // fixed-width field.
    QStringList lines() const;
    // Hands every record, in order and in the file's code page, to `out` as it is made;
    // the bytes are valid during the call only.
    using RecordSink = std::function<void(QByteArrayView record)>;
    void writeRecords(const RecordSink& out) const;

    // Writes the file at `path` (replacing it) only when it is complete; on any failure
    // throws FlatFileError (the manifest) or FileWriteError (the disk) and leaves whatever
    // was at `path` untouched.
    void CreateFlatFile(const QString& path) const;
    // The whole file, as CreateFlatFile() writes it.
    QByteArray bytes() const;
    // Hands the file, lines ends and all, to `out` in pieces of about a megabyte, each a
    // QByteArray of its own that is never changed after.
    void writePieces(const std::function<void(const QByteArray& piece)>& out) const;

private:
    struct Header;
    class PosRecords;

    Header GetHeaderRecord() const;
    void WriteDetailRecords(const Header& header, const RecordSink& out) const;

    const Database& m_db;
    QString m_nodaftar;
    bool m_air;
};

// Writes the manifest's flat file at `path` as a filing for customs: the file and its entry in
// the register of filings stand together, the entry never without the file whole on disk.
// Returns the filing's id. Throws as CreateFlatFile() does, or DbError.
qint64 fileFlatFile(Database& db, const QString& nodaftar, const QString& jenis,
                    const QString& path);

} // namespace vastrel
