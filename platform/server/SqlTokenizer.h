// SqlTokenizer: splits a statement of the suite's SQL dialect into tokens that, written back in order,
// give the original text exactly (whitespace and comments are tokens too). The dialect translators
// rewrite token lists, never raw text, so that a word inside a string literal, a quoted identifier or a
// comment is never mistaken for SQL.
//
// Lexical rules:
//   - 'text' literals, a doubled quote inside standing for one quote;
//   - "identifier" and [identifier] quoted names, the closing character doubled to escape it;
//   - -- comments to the end of the line, /* */ comments (nested, as the suite's server allows);
//   - :NAME parameters (a colon directly followed by a name; "::" is an operator);
//   - words (letters, digits, _, @, #, $; not starting with a digit) and numbers (digits, a decimal
//     point, an exponent); a qualified name A.B is three tokens: A, '.', B.
#pragma once

#include <QString>
#include <vector>

struct SqlToken {
    enum Kind {
        Whitespace,
        Comment,
        Word,             // identifier or keyword
        QuotedIdentifier, // "NAME" or [NAME]
        Number,
        String,    // 'text'
        Parameter, // :NAME; text holds the whole token, name() the part after the colon
        Operator,  // + - * / % = < > <= >= <> != || :: and other punctuation
        LeftParen,
        RightParen,
        Comma,
        Dot,
        Semicolon
    };

    Kind kind = Whitespace;
    QString text;
    // Offset of the token in the tokenized text; -1 for tokens made by a rewrite.
    qsizetype offset = -1;

    bool isTrivia() const { return kind == Whitespace || kind == Comment; }
    // Case-insensitive test of a word (keyword or name).
    bool isWord(QLatin1String word) const;
    bool isOperator(QLatin1String op) const { return kind == Operator && text == op; }
    // Parameter: the name without the colon. Quoted identifier: the name without quotes. Word: the text.
    QString name() const;
};

using SqlTokens = std::vector<SqlToken>;

namespace SqlTokenizer {

// Tokenizes text. Throws GeneralError naming line and column when a literal, a quoted name or a comment
// is not closed.
SqlTokens tokenize(const QString& text);

// Writes the tokens back as text.
QString join(const SqlTokens& tokens);

// "línea L, columna C" of offset in text, for messages about a statement.
QString describePosition(const QString& text, qsizetype offset);

} // namespace SqlTokenizer
