#pragma once

#include <QString>
#include <QStringList>

#include <concepts>

namespace vastrel {

// A text in both of the program's languages: English for the admin tool, Indonesian for the
// screens.
struct Wording {
    QString english;
    QString indonesian;

    bool operator==(const Wording&) const = default;
};

// The two patterns of one message, with %1 to %9 where its values go; either language may
// leave a value out or put the values in another order.
struct Phrase {
    const char* english;
    const char* indonesian;
};

namespace wording {

enum class Language { English, Indonesian };

inline QString in(Language language, const Wording& value) {
    return language == Language::English ? value.english : value.indonesian;
}
inline QString in(Language, const QString& value) {
    return value;
}
inline QString in(Language, const char* value) {
    return QString::fromUtf8(value);
}
template <std::integral Number> QString in(Language, Number value) {
    return QString::number(value);
}

// `pattern` with every %N replaced by the Nth value, in one pass: a value holding "%2"
// stays as it is.
QString filled(const char* pattern, const QStringList& values);

} // namespace wording

// A message in both languages with its values put in; a value that is a Wording goes in
// in the message's own language.
template <typename... Values> Wording worded(const Phrase& phrase, const Values&... values) {
    using wording::Language;
    return {wording::filled(phrase.english, {wording::in(Language::English, values)...}),
            wording::filled(phrase.indonesian, {wording::in(Language::Indonesian, values)...})};
}

} // namespace vastrel
