#pragma once

#include "FlatFile.h"

#include <QByteArray>
#include <QStringList>

#include <functional>

namespace vastrel::test {

// The bytes of a flat file of these lines, each ended by LF alone.
inline QByteArray withBareLineFeeds(const QStringList& lines) {
    return fileBytes(lines).replace("\r\n", "\n");
}

// Writes `text` over the 1-based `line` from the 1-based `column`.
inline std::function<void(QStringList&)> put(int line, int column, const QString& text) {
    return [=](QStringList& lines) { lines[line - 1].replace(column - 1, text.size(), text); };
}

} // namespace vastrel::test
