#include "ManifestIni.h"

#include "CryptText.h"
#include "DurableFile.h"

#include <QFile>
#include <QList>

#include <cerrno>

namespace vastrel {

namespace {

// One value of sequential input starting at `pos`; moves `pos` past its separator.
std::optional<QByteArray> nextValue(const QByteArray& text, qsizetype& pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    if (pos >= text.size())
        return std::nullopt;
    QByteArray value;
    if (text[pos] == '"') {
        const qsizetype close = text.indexOf('"', pos + 1);
        const qsizetype end = close < 0 ? text.size() : close;
        value = text.mid(pos + 1, end - pos - 1);
        pos = end + 1;
        // Anything between the closing quote and the separator is skipped.
        while (pos < text.size() && text[pos] != ',' && text[pos] != '\n')
            ++pos;
    } else {
        const qsizetype start = pos;
        while (pos < text.size() && text[pos] != ',' && text[pos] != '\n' && text[pos] != '\r')
            ++pos;
        value = text.mid(start, pos - start).trimmed();
    }
    if (pos < text.size() && text[pos] == '\r')
        ++pos;
    if (pos < text.size() && (text[pos] == ',' || text[pos] == '\n'))
        ++pos;
    return value;
}

QList<QByteArray> readLines(const QString& fileName, bool* ok) {
    QFile file(fileName);
    *ok = file.open(QIODevice::ReadOnly);
    if (!*ok)
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray withoutCr(const QByteArray& line) {
    return line.endsWith('\r') ? line.chopped(1) : line;
}

bool isSectionHeader(const QByteArray& line) {
    const QByteArray t = withoutCr(line).trimmed();
    return t.startsWith('[') && t.endsWith(']');
}

bool isSection(const QByteArray& line, const QString& section) {
    const QByteArray t = withoutCr(line).trimmed();
    return isSectionHeader(line) && QString::fromLatin1(t.mid(1, t.size() - 2))
                                            .trimmed()
                                            .compare(section, Qt::CaseInsensitive) == 0;
}

// The value of a "key=value" line for `key`, or nothing when the line holds another key.
std::optional<QByteArray> keyValue(const QByteArray& line, const QString& key) {
    const QByteArray t = withoutCr(line);
    const qsizetype eq = t.indexOf('=');
    if (eq < 0 || QString::fromLatin1(t.left(eq)).trimmed().compare(key, Qt::CaseInsensitive))
        return std::nullopt;
    return t.mid(eq + 1).trimmed();
}

struct KeyLocation {
    qsizetype sectionLine = -1; // line of the [section] header
    qsizetype keyLine = -1;     // line holding the key
    qsizetype lastLine = -1;    // last non-empty line of the section
};

KeyLocation locate(const QList<QByteArray>& lines, const QString& section, const QString& key) {
    KeyLocation at;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (isSectionHeader(lines[i])) {
            if (at.sectionLine >= 0)
                break;
            if (isSection(lines[i], section))
                at.sectionLine = at.lastLine = i;
            continue;
        }
        if (at.sectionLine < 0)
            continue;
        if (!withoutCr(lines[i]).trimmed().isEmpty())
            at.lastLine = i;
        // A key written twice reads (and is written) at its first line.
        if (at.keyLine < 0 && keyValue(lines[i], key))
            at.keyLine = i;
    }
    return at;
}

} // namespace

std::optional<DatabaseValues> readDatabaseValues(const QString& iniPath) {
    QFile file(iniPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = file.readAll();
    qsizetype pos = 0;
    const auto name = nextValue(text, pos);
    const auto password = name ? nextValue(text, pos) : std::nullopt;
    if (!password)
        return std::nullopt;
    return DatabaseValues{QString::fromLatin1(*name), QString::fromLatin1(*password)};
}

std::string DatabaseValues::password() const {
    return DecryptText(HexToText(passwordHex.toStdString()), kPassphrase);
}

QByteArray databaseValuesLine(const QString& dbName, const std::string& password) {
    return '"' + dbName.toLatin1() + "\",\"" +
           QByteArray::fromStdString(EncryptText(password, kPassphrase)) + "\"\r\n";
}

QString GetINI(const QString& fileName, const QString& section, const QString& key,
               const QString& defaultValue) {
    bool ok = false;
    const QList<QByteArray> lines = readLines(fileName, &ok);
    const KeyLocation at = locate(lines, section, key);
    if (at.keyLine < 0)
        return defaultValue.left(kIniValueLimit);
    QByteArray value = *keyValue(lines[at.keyLine], key);
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        value = value.mid(1, value.size() - 2);
    return QString::fromLatin1(value).left(kIniValueLimit);
}

void WriteINI(const QString& fileName, const QString& section, const QString& key,
              const QString& value) {
    bool exists = false;
    QList<QByteArray> lines = readLines(fileName, &exists);
    if (!exists && QFile::exists(fileName))
        throw FileWriteError(fileName, EACCES);
    const bool crlf = !lines.isEmpty() && lines.first().endsWith('\r');
    const QByteArray eol = crlf ? "\r" : "";
    const QByteArray entry = key.toLatin1() + '=' + value.toLatin1() + eol;
    const KeyLocation at = locate(lines, section, key);
    if (at.keyLine >= 0)
        lines[at.keyLine] = entry;
    else if (at.sectionLine >= 0)
        lines.insert(at.lastLine + 1, entry);
    else
        lines << '[' + section.toLatin1() + ']' + eol << entry;
    writeFileDurably(fileName, lines.join('\n') + '\n', FileAccess::OwnerOnly);
}

} // namespace vastrel
