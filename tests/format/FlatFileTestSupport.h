#pragma once

#include "FlatFile.h"

#include <QByteArray>
#include <QStringList>

namespace vastrel::test {

// The bytes of a flat file of these lines, each ended by LF alone.
inline QByteArray withBareLineFeeds(const QStringList& lines) {
    return fileBytes(lines).replace("\r\n", "\n");
}

} // namespace vastrel::test
