// The load's parameter-line parser and the strict decimal conversion of the resize texts.
#include "ParameterLine.h"
#include "StrictDecimal.h"

#include <gtest/gtest.h>

namespace {

struct LineRow {
    const char* name;
    const char* line;
    std::vector<const char*> params;
    const char* filter;
};

const LineRow kLines[] = {
    {"one_word", "MODO", {"MODO"}, ""},
    {"runs_of_blanks_between_words", "MODO    LOTE   X", {"MODO", "LOTE", "X"}, ""},
    {"trailing_blanks_and_controls", "MODO LOTE \t\r\n", {"MODO", "LOTE"}, ""},
    {"quoted_condition_between_two_words",
     "uno \"AND COD_EMPR = 1\" tres",
     {"uno", "tres"},
     "AND COD_EMPR = 1"},
    {"unquoted_condition", "uno AND1=1 dos", {"uno", "dos"}, "AND1=1"},
    {"two_conditions_mixed_case_the_first_stays",
     "\"and A = 1\" palabra \"AnD B = 2\"",
     {"palabra"},
     "and A = 1"},
    {"condition_alone", "\"AND X IN (1, 2)\"", {}, "AND X IN (1, 2)"},
    {"quoted_word_keeps_its_blanks", "\"dos palabras\" fin", {"dos palabras", "fin"}, ""},
    {"blanks_inside_quotes_are_trimmed_at_the_ends", "\"  hola mundo  \"", {"hola mundo"}, ""},
    {"empty_quotes_give_an_empty_token", "uno \"\" dos", {"uno", "", "dos"}, ""},
    {"unclosed_quote_takes_the_rest_of_the_line", "uno \"dos tres", {"uno", "dos tres"}, ""},
    {"unclosed_quote_with_a_condition", "x \"AND Y = 'a b'", {"x"}, "AND Y = 'a b'"},
    {"leading_blank_gives_an_empty_first_token", " uno", {"", "uno"}, ""},
    {"word_that_begins_with_the_letters_and", "Andres Perez", {"Perez"}, "Andres"},
    {"quote_inside_a_word_drops_its_first_letter", "ab\"cd ef", {"b", "cd", "ef"}, ""},
    {"repeated_word", "ab ab", {"ab", "ab"}, ""},
    {"control_character_inside_a_word_stays", "a\tb", {"a\tb"}, ""},
};

TEST(ParameterLine, SplitsWordsAndKeepsTheCondition) {
    for (const LineRow& row : kLines) {
        QString line = QString::fromUtf8(row.line);
        QStringList params{QStringLiteral("stale entry")};
        ParsearLineaParametros(line, params);
        QStringList expected;
        for (const char* p : row.params)
            expected << QString::fromUtf8(p);
        EXPECT_EQ(params, expected) << row.name;
        EXPECT_EQ(line, QString::fromUtf8(row.filter)) << row.name;
    }
}

TEST(TrimControls, RemovesEveryCharacterUpToTheBlank) {
    EXPECT_EQ(TrimControls(QStringLiteral("\x01\t x y \x1f\n")), QStringLiteral("x y"));
    EXPECT_EQ(TrimControls(QString(QChar(0xA0)) + QStringLiteral("x")),
              QString(QChar(0xA0)) + QStringLiteral("x"));
    EXPECT_EQ(TrimControls(QStringLiteral(" \t ")), QString());
}

struct DecimalRow {
    const char* name;
    const char* text;
    bool valid;
    int32_t value;
};

const DecimalRow kDecimals[] = {
    {"plain", "640", true, 640},
    {"negative", "-5", true, -5},
    {"explicit_plus", "+7", true, 7},
    {"zero_padded", "007", true, 7},
    {"largest", "2147483647", true, 2147483647},
    {"smallest", "-2147483648", true, INT32_MIN},
    {"one_past_largest", "2147483648", false, 0},
    {"far_too_large", "99999999999999999999", false, 0},
    {"empty", "", false, 0},
    {"sign_only", "-", false, 0},
    {"leading_blank", " 640", false, 0},
    {"trailing_blank", "640 ", false, 0},
    {"letters", "64a", false, 0},
    {"hexadecimal", "0x10", false, 0},
    {"pascal_hexadecimal", "$10", false, 0},
    {"decimal_point", "6.5", false, 0},
};

TEST(Decimal, IsStrict) {
    for (const DecimalRow& row : kDecimals) {
        const std::optional<int32_t> v = DecimalEstricto(QString::fromLatin1(row.text));
        EXPECT_EQ(v, row.valid ? std::optional<int32_t>(row.value) : std::nullopt) << row.name;
    }
    EXPECT_FALSE(DecimalEstricto(QStringLiteral("١٢")).has_value()) << "other scripts' digits";
}

} // namespace
