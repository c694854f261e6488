#pragma once

#include <QString>

#include <optional>
#include <string>

namespace vastrel {

// The first two values of MANIFEST.INI: the database file name and the
// enciphered password (hex text), read the way sequential text input reads
// them: separated by a comma or a line end, double quotes removed, leading
// blanks skipped.
struct DatabaseValues {
    QString dbName;
    QString passwordHex;

    // The database password deciphered; empty when the cipher text is unusable.
    std::string password() const;
};

// Empty when the file is missing, unreadable or holds fewer than two values.
std::optional<DatabaseValues> readDatabaseValues(const QString& iniPath);

// The two leading values of MANIFEST.INI in their quoted form, the password enciphered.
QByteArray databaseValuesLine(const QString& dbName, const std::string& password);

// Longest value GetINI returns.
inline constexpr int kIniValueLimit = 254;

// Reads `key` of `[section]`; `defaultValue` when the file, section or key is
// missing. Section and key names compare without regard to case.
QString GetINI(const QString& fileName, const QString& section, const QString& key,
               const QString& defaultValue);

// Writes `key` of `[section]`, keeping every other line of the file as it is and
// creating the file (readable by its owner only), section or key when missing.
// The file is replaced whole; throws FileWriteError and leaves it as it was when
// it cannot be written.
void WriteINI(const QString& fileName, const QString& section, const QString& key,
              const QString& value);

} // namespace vastrel
