#pragma once

#include "Wording.h"

#include <QList>
#include <QString>

#include <utility>

namespace vastrel {

// One thing wrong with a flat file, at a 1-based line and column; or with a workbook, in a
// `sheet` at a row (`line`, 0 for the sheet as a whole). `message` is in English,
// `indonesian` in Indonesian.
struct FlatFileProblem {
    int line = 0;
    int column = 0;
    QString message;
    QString sheet; // empty in a flat file
    QString indonesian;

    FlatFileProblem() = default;
    // In English alone, as a test states what it expects.
    FlatFileProblem(int atLine, int atColumn, QString what, QString inSheet = {})
        : line(atLine), column(atColumn), message(std::move(what)), sheet(std::move(inSheet)) {}
    FlatFileProblem(int atLine, int atColumn, const Wording& what, QString inSheet = {})
        : line(atLine), column(atColumn), message(what.english), sheet(std::move(inSheet)),
          indonesian(what.indonesian) {}
    // "LINE:COLUMN: message", "SHEET row LINE: message" or "SHEET: message"
    QString toString() const;
    // "baris LINE kolom COLUMN: pesan", "SHEET baris LINE: pesan" or "SHEET: pesan"
    QString toIndonesian() const;
    bool operator==(const FlatFileProblem&) const = default;

private:
    Wording where() const;
};

// The problems a reading finds, in the order found. The first kListed are kept and the
// rest only counted, so that a file full of faults fills neither memory nor a screen.
class ProblemList {
public:
    static constexpr qsizetype kListed = 100;

    void append(const FlatFileProblem& problem);
    ProblemList& operator+=(const ProblemList& more);
    // The problems kept, at most kListed of them.
    const QList<FlatFileProblem>& listed() const { return m_listed; }
    QList<FlatFileProblem>::const_iterator begin() const { return m_listed.begin(); }
    QList<FlatFileProblem>::const_iterator end() const { return m_listed.end(); }
    // Every problem found, listed or not.
    qsizetype count() const { return m_count; }
    qsizetype unlisted() const { return m_count - m_listed.size(); }
    bool isEmpty() const { return m_count == 0; }
    // "and 7 more" after the listed ones; empty when every problem is listed.
    Wording more() const;
    // The listed problems by line, then column; the same place keeps the order found.
    void sortByPlace();
    bool operator==(const ProblemList&) const = default;

private:
    QList<FlatFileProblem> m_listed;
    qsizetype m_count = 0;
};

// A value from a file as a message quotes it: in double quotes, cut after kQuotedCharacters
// with "..." so that a giant cell or field does not repeat itself in every message.
constexpr qsizetype kQuotedCharacters = 60;
QString quotedValue(const QString& value);

} // namespace vastrel
