// MANIFEST.INI: any file content is read without harm, and a key written into it reads back.

#include "FuzzCheck.h"
#include "ManifestIni.h"

#include <QFile>
#include <QTemporaryDir>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <exception>

using namespace vastrel;
using vastrel::fuzz::check;

namespace {

// A section or key name that can stand in a line of the file: no brackets, "=" or line
// breaks, no blanks around it; `fallback` when nothing is left.
QString nameFrom(const std::string& raw, const char* fallback) {
    QString name = QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size()));
    for (const char forbidden : {'[', ']', '=', '\r', '\n'})
        name.remove(QLatin1Char(forbidden));
    name = name.trimmed();
    return name.isEmpty() ? QString::fromLatin1(fallback) : name;
}

// A value GetINI gives back as it was written: one line, no blanks around it, not quoted,
// not longer than GetINI reads.
bool readsBackAsWritten(const QByteArray& value) {
    const bool quoted = value.size() >= 2 && value.startsWith('"') && value.endsWith('"');
    return !value.contains('\n') && !value.contains('\r') && value == value.trimmed() && !quoted &&
           value.size() <= kIniValueLimit;
}

const QString& iniPath() {
    static const QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("MANIFEST.INI"));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const QString section = nameFrom(input.ConsumeRandomLengthString(32), "MANIFEST");
    const QString key = nameFrom(input.ConsumeRandomLengthString(32), "JENIS");
    const QByteArray value = QByteArray::fromStdString(input.ConsumeRandomLengthString(300));
    const QByteArray content = QByteArray::fromStdString(input.ConsumeRemainingBytesAsString());

    QFile file(iniPath());
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
              file.write(content) == content.size(),
          "the fuzz input is written to a file");
    file.close();

    readDatabaseValues(iniPath());
    GetINI(iniPath(), section, key, QString());
    try {
        WriteINI(iniPath(), section, key, QString::fromLatin1(value));
    } catch (const std::exception&) {
        return 0; // the file could not be replaced; nothing to read back
    }
    if (readsBackAsWritten(value))
        check(GetINI(iniPath(), section, key, QStringLiteral("(missing)")) ==
                  QString::fromLatin1(value),
              "a written value reads back");
    return 0;
}
