#include "ServerDialect.h"

#include "Database.h"

#include <QSet>

#include <cctype>
#include <vector>

namespace vastrel {

namespace {

struct Token {
    enum Kind { Word, Text, Param, Space, Mark } kind;
    QByteArray text;
};

bool isNameByte(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Quotes, `?` and names are single bytes in UTF-8; a doubled quote stays inside its text.
std::vector<Token> tokenize(const QByteArray& sql) {
    std::vector<Token> tokens;
    for (qsizetype i = 0; i < sql.size();) {
        const char c = sql[i];
        qsizetype end = i + 1;
        Token::Kind kind = Token::Mark;
        if (c == '\'' || c == '"') {
            kind = Token::Text;
            for (end = sql.indexOf(c, i + 1); end >= 0 && sql.mid(end + 1, 1) == QByteArray(1, c);)
                end = sql.indexOf(c, end + 2);
            end = end < 0 ? sql.size() : end + 1;
        } else if (c == '?') {
            kind = Token::Param;
        } else if (isNameByte(c)) {
            kind = Token::Word;
            while (end < sql.size() && isNameByte(sql[end]))
                ++end;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            kind = Token::Space;
            while (end < sql.size() && std::isspace(static_cast<unsigned char>(sql[end])))
                ++end;
        }
        tokens.push_back({kind, sql.mid(i, end - i)});
        i = end;
    }
    return tokens;
}

class Translation {
public:
    Translation(const QString& sql, const ColumnNulls& nulls)
        : m_tokens(tokenize(sql.toUtf8())), m_nulls(nulls), m_suffix(m_tokens.size()) {
        for (size_t i = 0; i < m_tokens.size(); ++i) {
            if (m_tokens[i].kind != Token::Word)
                continue;
            const QByteArray word = m_tokens[i].text.toLower();
            if (m_nulls.contains(word))
                m_tables.insert(word);
            else if (isWord(i, "AS") && nextSolid(i) != kNone)
                m_aliases.insert(m_tokens[nextSolid(i)].text.toLower());
            // An outer join or a union may bring nulls into any column; a table the catalog
            // does not know may have nulls where a known one has none.
            const size_t named = nextSolid(i);
            m_catalogEnough &=
                !(word == "left" || word == "right" || word == "full" || word == "union" ||
                  ((word == "from" || word == "join") && named != kNone &&
                   m_tokens[named].kind == Token::Word &&
                   !m_nulls.contains(m_tokens[named].text.toLower())));
        }
    }

    QByteArray text() {
        for (size_t i = 0; i < m_tokens.size(); ++i) {
            if (isWord(i, "LIKE"))
                carryLike(i);
            else if (isWord(i, "ORDER") && isWord(nextSolid(i), "BY"))
                placeNulls(nextSolid(i) + 1);
        }
        QByteArray out;
        int parameter = 0;
        for (size_t i = 0; i < m_tokens.size(); ++i) {
            const Token& token = m_tokens[i];
            if (token.kind == Token::Param)
                out += '$' + QByteArray::number(++parameter);
            else if (isWord(i, "user"))
                out += "\"user\"";
            else if (isWord(i, "LIKE"))
                out += "ILIKE";
            else
                out += token.text;
            out += m_suffix[i];
        }
        return out;
    }

private:
    static constexpr size_t kNone = static_cast<size_t>(-1);

    bool isWord(size_t i, const char* word) const {
        return i < m_tokens.size() && m_tokens[i].kind == Token::Word &&
               m_tokens[i].text.compare(word, Qt::CaseInsensitive) == 0;
    }
    bool isMark(size_t i, char mark) const {
        return i < m_tokens.size() && m_tokens[i].kind == Token::Mark &&
               m_tokens[i].text[0] == mark;
    }
    size_t nextSolid(size_t i) const {
        while (++i < m_tokens.size() && m_tokens[i].kind == Token::Space) {
        }
        return i < m_tokens.size() ? i : kNone;
    }
    size_t previousSolid(size_t i) const {
        while (i-- > 0) {
            if (m_tokens[i].kind != Token::Space)
                return i;
        }
        return kNone;
    }

    void refuseLike() const {
        throw DbError("A LIKE pattern other than one `?` or quoted text cannot be carried to the "
                      "server");
    }

    // `operand [NOT] LIKE pattern`: the operand as a text, the pattern without an escape.
    void carryLike(size_t like) {
        size_t operand = previousSolid(like);
        if (isWord(operand, "NOT"))
            operand = previousSolid(operand);
        const size_t pattern = nextSolid(like);
        if (operand == kNone || pattern == kNone ||
            (m_tokens[pattern].kind != Token::Param && m_tokens[pattern].kind != Token::Text))
            refuseLike();
        const size_t after = nextSolid(pattern);
        if (after != kNone && !isMark(after, ')') && !isMark(after, ',') && !isMark(after, ';') &&
            (m_tokens[after].kind != Token::Word || isWord(after, "ESCAPE") ||
             isWord(after, "COLLATE")))
            refuseLike();
        m_suffix[operand] += "::text";
        m_suffix[pattern].prepend(" ESCAPE ''"); // before an ORDER BY term's nulls clause
    }

    bool endsClause(size_t i) const {
        for (const char* word : {"LIMIT", "OFFSET", "ROWS", "RANGE", "GROUPS", "FOR"}) {
            if (isWord(i, word))
                return true;
        }
        return isMark(i, ';');
    }

    // The terms of the ORDER BY clause from `start`, each up to a comma at its own depth.
    void placeNulls(size_t start) {
        int depth = 0;
        size_t term = start;
        size_t i = start;
        for (; i < m_tokens.size(); ++i) {
            if (isMark(i, '(')) {
                ++depth;
            } else if (isMark(i, ')') && depth > 0) {
                --depth;
            } else if (depth == 0 && isMark(i, ',')) {
                placeTermNulls(term, i);
                term = i + 1;
            } else if (depth == 0 && (isMark(i, ')') || endsClause(i))) {
                break;
            }
        }
        placeTermNulls(term, i);
    }

    // The term of the tokens [first, end).
    void placeTermNulls(size_t first, size_t end) {
        bool descending = false;
        bool placed = false;
        int depth = 0;
        QList<size_t> solid; // at the term's own depth, direction words left out
        for (size_t i = first; i < end; ++i) {
            depth += isMark(i, '(') ? 1 : isMark(i, ')') ? -1 : 0;
            if (depth > 0 || m_tokens[i].kind == Token::Space)
                continue;
            if (isWord(i, "DESC"))
                descending = true;
            else if (isWord(i, "NULLS"))
                placed = true;
            else if (!isWord(i, "ASC"))
                solid << i;
        }
        if (solid.isEmpty() || placed || neverNull(solid))
            return;
        size_t last = previousSolid(end);
        m_suffix[last] += descending ? " NULLS LAST" : " NULLS FIRST";
    }

    // A plain column (or table.column) that no table the statement reads lets be null.
    bool neverNull(const QList<size_t>& term) const {
        const bool plain = (term.size() == 1 || (term.size() == 3 && isMark(term[1], '.') &&
                                                 m_tokens[term[0]].kind == Token::Word)) &&
                           m_tokens[term.last()].kind == Token::Word &&
                           !std::isdigit(static_cast<unsigned char>(m_tokens[term.last()].text[0]));
        const QByteArray column = m_tokens[term.last()].text.toLower();
        if (!plain || !m_catalogEnough || m_aliases.contains(column))
            return false;
        bool known = false;
        for (const QByteArray& table : m_tables) {
            const QHash<QByteArray, bool> columns = m_nulls.value(table);
            if (const auto found = columns.constFind(column); found != columns.constEnd()) {
                if (*found)
                    return false;
                known = true;
            }
        }
        return known;
    }

    std::vector<Token> m_tokens;
    const ColumnNulls& m_nulls;
    std::vector<QByteArray> m_suffix; // written after each token
    QSet<QByteArray> m_tables;        // the tables the statement names
    QSet<QByteArray> m_aliases;       // the names given with AS
    bool m_catalogEnough = true;      // the tables' columns tell where nulls may be
};

} // namespace

QByteArray serverStatement(const QString& sql, const ColumnNulls& nulls) {
    return Translation(sql, nulls).text();
}

QString serverDefinition(QString sql) {
    return sql.replace(QLatin1String(" TEXT COLLATE NOCASE"), QLatin1String(" citext"))
        .replace(QLatin1String(" BLOB"), QLatin1String(" bytea"))
        .replace(QLatin1String("INTEGER PRIMARY KEY AUTOINCREMENT"),
                 QLatin1String("bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"));
}

} // namespace vastrel
