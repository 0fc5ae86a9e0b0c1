#include "SqlTokenizer.h"
#include "GeneralError.h"
#include "TestSupport.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

// "kind:text" of every token but whitespace, in order.
QStringList describe(const SqlTokens& tokens) {
    static const char* const names[] = {"ws", "comment", "word", "qident", "num", "str", "param",
                                        "op", "(",       ")",    ",",      ".",   ";"};
    QStringList out;
    for (const SqlToken& t : tokens)
        if (t.kind != SqlToken::Whitespace)
            out << QStringLiteral("%1:%2").arg(QLatin1String(names[t.kind]), t.text);
    return out;
}

struct TokenCase {
    const char* name;
    const char* sql;
    QStringList expected;
};

TEST(SqlTokenizer, SplitsAndRejoinsExactly) {
    const TokenCase cases[] = {
        {"QualifiedNameIsThreeTokens", "A.COD_EMPL", {"word:A", ".:.", "word:COD_EMPL"}},
        {"StringWithDoubledQuote", "'it''s' x", {"str:'it''s'", "word:x"}},
        {"ParameterInsideStringIsText", "':P_X'", {"str:':P_X'"}},
        {"ParameterAfterOperator", "A=:P_COD_EMPR", {"word:A", "op:=", "param::P_COD_EMPR"}},
        {"DoubleColonIsAnOperator", "A::INT", {"word:A", "op:::", "word:INT"}},
        {"QuotedIdentifiers", "\"NOM \"\"X\"\"\" [A]]B]", {"qident:\"NOM \"\"X\"\"\"", "qident:[A]]B]"}},
        {"LineComment", "A -- :P_X 'y\nB", {"word:A", "comment:-- :P_X 'y", "word:B"}},
        {"NestedBlockComment", "A /* x /* y */ z */ B", {"word:A", "comment:/* x /* y */ z */", "word:B"}},
        {"Numbers", "1 2.50 .5 1e-3 3E+2", {"num:1", "num:2.50", "num:.5", "num:1e-3", "num:3E+2"}},
        {"NegativeNumberIsOperatorAndNumber", "* - 1", {"op:*", "op:-", "num:1"}},
        {"TwoCharacterOperators", "<> <= >= != ||", {"op:<>", "op:<=", "op:>=", "op:!=", "op:||"}},
        {"Punctuation", "F(a, b);", {"word:F", "(:(", "word:a", ",:,", "word:b", "):)", ";:;"}},
        {"AccentedWord", "AÑO_PROC", {"word:AÑO_PROC"}},
    };
    for (const TokenCase& c : cases) {
        const QString sql = QString::fromUtf8(c.sql);
        const SqlTokens tokens = SqlTokenizer::tokenize(sql);
        EXPECT_EQ(describe(tokens), c.expected) << c.name;
        EXPECT_EQ(SqlTokenizer::join(tokens), sql) << c.name;
    }
}

TEST(SqlToken, NamesWithoutDecoration) {
    const SqlTokens tokens = SqlTokenizer::tokenize(QStringLiteral(":P_FEC_INIC \"A\"\"B\" [C]]D] word"));
    EXPECT_EQ(tokens[0].name(), QStringLiteral("P_FEC_INIC"));
    EXPECT_EQ(tokens[2].name(), QStringLiteral("A\"B"));
    EXPECT_EQ(tokens[4].name(), QStringLiteral("C]D"));
    EXPECT_EQ(tokens[6].name(), QStringLiteral("word"));
    EXPECT_TRUE(tokens[6].isWord(QLatin1String("WORD")));
}

TEST(SqlTokenizer, ErrorsNameLineAndColumn) {
    const std::pair<const char*, const char*> cases[] = {
        {"SELECT 'abc", "Sentencia SQL mal formada: texto entre comillas sin cerrar (línea 1, columna 8)."},
        {"SELECT 'a''", "Sentencia SQL mal formada: texto entre comillas sin cerrar (línea 1, columna 8)."},
        {"SELECT\n  \"NOM",
         "Sentencia SQL mal formada: nombre entre comillas sin cerrar (línea 2, columna 3)."},
        {"A\nB /* x /* y */", "Sentencia SQL mal formada: comentario sin cerrar (línea 2, columna 3)."},
    };
    for (const auto& [sql, message] : cases)
        EXPECT_EQ(testsupport::errorOf([&] { SqlTokenizer::tokenize(QString::fromUtf8(sql)); }),
                  QString::fromUtf8(message))
            << sql;
}

} // namespace
