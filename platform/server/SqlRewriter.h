// SqlRewriter: the token-level rewrites that the dialect translators of the database backends are made
// of. It holds one statement of the suite's T-SQL dialect as tokens (SqlTokenizer) and edits them in
// place; each backend applies the rewrites its database needs, in its own translate step, and writes the
// result back as text.
//
// Rewrites that drop tokens blank them (an empty whitespace token) instead of erasing them, so that
// indices found earlier in the same pass stay valid; the two that splice new tokens in (DATEPART and
// calls without arguments) go on scanning from the spliced position. The constructor checks that
// parentheses balance, which every rewrite relies on to find the partner of a parenthesis.
#pragma once

#include "SqlTokenizer.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class SqlRewriter {
public:
    // Tokenizes statement; throws GeneralError when it is malformed (an unclosed literal, quoted name or
    // comment, or parentheses that do not balance).
    explicit SqlRewriter(const QString& statement);

    const SqlTokens& tokens() const { return m_tokens; }
    QString text() const { return SqlTokenizer::join(m_tokens); }

    // Throws GeneralError when the text holds no statement or more than one (a ';' followed by anything
    // but blanks and comments); removes a trailing ';'.
    void requireSingleStatement();
    // The first word of the statement, upper-case, looking through leading parentheses; empty when the
    // statement does not start with a word.
    QString leadingWord() const;

    // Replaces comments by a blank: some drivers scan the text for placeholders and quotes without
    // knowing comments.
    void removeComments();

    // What DATEPART(part, x) becomes: before + x + after. The part is given in its canonical name:
    // YEAR, MONTH, DAY, HOUR, MINUTE or SECOND.
    struct DatePartForm {
        QString before;
        QString after;
    };
    // Rewrites every DATEPART(part, x) call (nested calls included). Throws GeneralError for a part
    // other than the six above (or their T-SQL abbreviations).
    void rewriteDatePart(const std::function<DatePartForm(const QString& part)>& form);

    // Renames calls of function from (a word followed by '('), keeping their arguments.
    void renameFunction(QLatin1String from, const QString& to);
    // Replaces calls without arguments, "NAME ( )", by replacement.
    void replaceEmptyCall(QLatin1String name, const QString& replacement);

    // Turns into '||' every '+' of a chain of additions that has a text operand: a string literal, a
    // CAST/CONVERT to a character type, a call of a text function, or a column whose (unqualified,
    // upper-case) name is in textColumns. A chain is one operator precedence level: a + b + c, where T-SQL
    // adds or concatenates the whole chain alike (a text operand in an addition would fail to convert).
    void rewriteTextConcatenation(const QSet<QString>& textColumns);

    // Drops the parentheses around a member of a UNION / INTERSECT / EXCEPT ("UNION ( SELECT ... )"),
    // for databases that only accept bare SELECTs as compound members.
    void unwrapCompoundMembers();

    // The ORDER BY that follows a compound SELECT (at any nesting level) sorts the columns of the result,
    // which T-SQL lets the statement name as the first member's select list writes them (CT.COD_EMPL),
    // by their output names, or by aliases. Each term that names a column of the first member becomes
    // that column's position; the qualifiers of any other term are dropped, since a union's result has
    // no tables.
    void resolveCompoundOrderBy();

    // Periods are whole days: a comparison that makes a whole-day parameter an inclusive upper bound
    // (x <= :P, or :P >= x) or an exclusive lower bound (x > :P, :P < x) would miss the rows of that day that
    // carry a time of day, or are stored as text in a longer form ('2026-12-31 00:00:00' > '2026-12-31').
    // Each such comparison becomes the half-open one against the next day (x < :P+1, x >= :P+1): the
    // parameter occurrence is renamed NAME + kNextDaySuffix, which the backend binds as the next day. Only
    // bare parameters are touched (not :P + 1, say); the comparisons stay on the column, so indexes serve
    // them as before. wholeDays holds the upper-case names of the parameters that carry whole days.
    static constexpr QLatin1String kNextDaySuffix{"+1dia"};
    void closeDayRanges(const QSet<QString>& wholeDays);

    // Replaces every :NAME parameter by placeholder and returns the names in the order of occurrence, a
    // name occurring as often as the statement writes it.
    QStringList replaceParameters(const QString& placeholder);

private:
    struct Operand {
        qsizetype first = -1;
        qsizetype last = -1;
        bool text = false;
    };

    qsizetype next(qsizetype i) const;
    qsizetype prev(qsizetype i) const;
    qsizetype matchClose(qsizetype open) const;
    qsizetype matchOpen(qsizetype close) const;
    bool isCompoundWord(qsizetype i) const;
    bool isFunctionName(qsizetype i) const;
    void blank(qsizetype i);
    void replaceRange(qsizetype first, qsizetype last, const SqlTokens& replacement);

    std::optional<Operand> operandForward(qsizetype i, const QSet<QString>& textColumns) const;
    std::optional<Operand> operandBackward(qsizetype i, const QSet<QString>& textColumns) const;
    bool callIsText(qsizetype name, qsizetype open, qsizetype close, const QSet<QString>& textColumns) const;
    bool groupHasText(qsizetype open, qsizetype close, const QSet<QString>& textColumns) const;

    void resolveOrderByIn(qsizetype begin, qsizetype end);
    // Items of the select list of the first SELECT in begin..end-1 (looking into leading parentheses).
    struct SelectItem {
        QString expression; // significant tokens, upper-case, without blanks
        QString alias;      // upper-case; empty when none
        QString column;     // a (qualified) column: its name, upper-case; otherwise empty
    };
    std::vector<SelectItem> firstSelectList(qsizetype begin, qsizetype end) const;
    QString normalized(qsizetype first, qsizetype last) const;

    SqlTokens m_tokens;
};
