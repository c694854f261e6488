#include "Wording.h"

namespace vastrel::wording {

QString filled(const char* pattern, const QStringList& values) {
    const QString text = QString::fromUtf8(pattern);
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int number = i + 1 < text.size() ? text[i + 1].digitValue() : -1;
        if (text[i] == u'%' && number >= 1 && number <= values.size()) {
            result += values[number - 1];
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

} // namespace vastrel::wording
