#pragma once

#include <QString>

#include <stdexcept>

namespace vastrel {

// A failure the user is told about in words of both of the program's languages:
// what() in English for the admin tool, indonesian() for the screens.
class UserError : public std::runtime_error {
public:
    // `indonesian` may be left out when the text is the same in both.
    explicit UserError(const QString& english, const QString& indonesian = {})
        : std::runtime_error(english.toStdString()),
          m_indonesian(indonesian.isEmpty() ? english : indonesian) {}
    const QString& indonesian() const { return m_indonesian; }

private:
    QString m_indonesian;
};

} // namespace vastrel
