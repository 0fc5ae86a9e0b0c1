#include "SqlTokenizer.h"

#include "GeneralError.h"

bool SqlToken::isWord(QLatin1String word) const {
    return kind == Word && text.compare(word, Qt::CaseInsensitive) == 0;
}

QString SqlToken::name() const {
    switch (kind) {
    case Parameter:
        return text.mid(1);
    case QuotedIdentifier: {
        const QChar close = text.front() == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
        return text.mid(1, text.size() - 2).replace(QString(2, close), QString(close));
    }
    default:
        return text;
    }
}

namespace {

bool isWordStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('#');
}
bool isWordPart(QChar c) {
    return isWordStart(c) || c.isDigit() || c == QLatin1Char('$');
}

[[noreturn]] void unclosed(const QString& text, qsizetype offset, const char* what) {
    throw GeneralError(QStringLiteral("Sentencia SQL mal formada: %1 sin cerrar (%2).")
                           .arg(QString::fromUtf8(what), SqlTokenizer::describePosition(text, offset)));
}

// End of a literal or quoted name opened at start by the character close, the close character doubled
// standing for itself; -1 when it is not closed.
qsizetype quotedEnd(const QString& text, qsizetype start, QChar close) {
    qsizetype i = start + 1;
    while (i < text.size()) {
        if (text[i] == close) {
            if (i + 1 < text.size() && text[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return -1;
}

} // namespace

namespace SqlTokenizer {

SqlTokens tokenize(const QString& text) {
    SqlTokens tokens;
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto at = [&](qsizetype k) { return k < n ? text[k] : QChar(); };
    auto push = [&](SqlToken::Kind kind, qsizetype start, qsizetype end) {
        tokens.push_back(SqlToken{kind, text.mid(start, end - start), start});
        i = end;
    };
    auto lastSignificant = [&]() -> const SqlToken* {
        for (auto it = tokens.rbegin(); it != tokens.rend(); ++it)
            if (!it->isTrivia())
                return &*it;
        return nullptr;
    };

    while (i < n) {
        const QChar c = text[i];
        const qsizetype start = i;
        if (c.isSpace()) {
            qsizetype j = i;
            while (j < n && text[j].isSpace())
                ++j;
            push(SqlToken::Whitespace, start, j);
        } else if (c == QLatin1Char('-') && at(i + 1) == QLatin1Char('-')) {
            qsizetype j = i;
            while (j < n && text[j] != QLatin1Char('\n'))
                ++j;
            push(SqlToken::Comment, start, j);
        } else if (c == QLatin1Char('/') && at(i + 1) == QLatin1Char('*')) {
            int depth = 0;
            qsizetype j = i;
            while (j < n) {
                if (text[j] == QLatin1Char('/') && at(j + 1) == QLatin1Char('*')) {
                    ++depth;
                    j += 2;
                } else if (text[j] == QLatin1Char('*') && at(j + 1) == QLatin1Char('/')) {
                    j += 2;
                    if (--depth == 0)
                        break;
                } else {
                    ++j;
                }
            }
            if (depth != 0)
                unclosed(text, start, "comentario");
            push(SqlToken::Comment, start, j);
        } else if (c == QLatin1Char('\'')) {
            const qsizetype end = quotedEnd(text, i, QLatin1Char('\''));
            if (end < 0)
                unclosed(text, start, "texto entre comillas");
            push(SqlToken::String, start, end);
        } else if (c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('"') ? QLatin1Char('"') : QLatin1Char(']');
            const qsizetype end = quotedEnd(text, i, close);
            if (end < 0)
                unclosed(text, start, "nombre entre comillas");
            push(SqlToken::QuotedIdentifier, start, end);
        } else if (c == QLatin1Char(':') && isWordStart(at(i + 1))) {
            qsizetype j = i + 1;
            while (j < n && isWordPart(text[j]))
                ++j;
            push(SqlToken::Parameter, start, j);
        } else if (c.isDigit() ||
                   (c == QLatin1Char('.') && at(i + 1).isDigit() &&
                    !(lastSignificant() && (lastSignificant()->kind == SqlToken::Word ||
                                            lastSignificant()->kind == SqlToken::QuotedIdentifier)))) {
            qsizetype j = i;
            while (j < n && text[j].isDigit())
                ++j;
            if (at(j) == QLatin1Char('.')) {
                ++j;
                while (j < n && text[j].isDigit())
                    ++j;
            }
            if ((at(j) == QLatin1Char('e') || at(j) == QLatin1Char('E')) &&
                (at(j + 1).isDigit() ||
                 ((at(j + 1) == QLatin1Char('+') || at(j + 1) == QLatin1Char('-')) && at(j + 2).isDigit()))) {
                j += 2;
                while (j < n && text[j].isDigit())
                    ++j;
            }
            push(SqlToken::Number, start, j);
        } else if (isWordStart(c)) {
            qsizetype j = i;
            while (j < n && isWordPart(text[j]))
                ++j;
            push(SqlToken::Word, start, j);
        } else if (c == QLatin1Char('(')) {
            push(SqlToken::LeftParen, start, i + 1);
        } else if (c == QLatin1Char(')')) {
            push(SqlToken::RightParen, start, i + 1);
        } else if (c == QLatin1Char(',')) {
            push(SqlToken::Comma, start, i + 1);
        } else if (c == QLatin1Char('.')) {
            push(SqlToken::Dot, start, i + 1);
        } else if (c == QLatin1Char(';')) {
            push(SqlToken::Semicolon, start, i + 1);
        } else {
            static const char* const twoChar[] = {"<>", "<=", ">=", "!=", "!<", "!>", "||", "::"};
            qsizetype len = 1;
            for (const char* op : twoChar)
                if (text.mid(i, 2) == QLatin1String(op))
                    len = 2;
            push(SqlToken::Operator, start, i + len);
        }
    }
    return tokens;
}

QString describePosition(const QString& text, qsizetype offset) {
    int line = 1;
    int column = 1;
    for (qsizetype i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\n')) {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return QStringLiteral("línea %1, columna %2").arg(line).arg(column);
}

QString join(const SqlTokens& tokens) {
    QString out;
    for (const SqlToken& t : tokens)
        out += t.text;
    return out;
}

} // namespace SqlTokenizer
