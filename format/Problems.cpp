#include "Problems.h"

#include <algorithm>

namespace vastrel {

Wording FlatFileProblem::where() const {
    if (sheet.isEmpty())
        return worded({"%1:%2", "baris %1 kolom %2"}, line, column);
    if (line == 0)
        return {sheet, sheet};
    return worded({"%1 row %2", "%1 baris %2"}, sheet, line);
}

QString FlatFileProblem::toString() const {
    return where().english + ": " + message;
}

QString FlatFileProblem::toIndonesian() const {
    return where().indonesian + ": " + indonesian;
}

void ProblemList::append(const FlatFileProblem& problem) {
    if (m_listed.size() < kListed)
        m_listed.append(problem);
    ++m_count;
}

ProblemList& ProblemList::operator+=(const ProblemList& more) {
    for (const FlatFileProblem& problem : more.m_listed)
        append(problem);
    m_count += more.unlisted();
    return *this;
}

Wording ProblemList::more() const {
    if (unlisted() == 0)
        return {};
    return worded({"and %1 more", "dan %1 masalah lain"}, unlisted());
}

void ProblemList::sortByPlace() {
    std::stable_sort(m_listed.begin(), m_listed.end(),
                     [](const FlatFileProblem& a, const FlatFileProblem& b) {
                         return a.line != b.line ? a.line < b.line : a.column < b.column;
                     });
}

QString quotedValue(const QString& value) {
    if (value.size() <= kQuotedCharacters)
        return '"' + value + '"';
    // A character outside the basic plane is not cut in half.
    const qsizetype cut =
        value[kQuotedCharacters - 1].isHighSurrogate() ? kQuotedCharacters - 1 : kQuotedCharacters;
    return '"' + value.left(cut) + QStringLiteral("...\"");
}

} // namespace vastrel
