// Expression: the engine's small expression language, used inside "[...]" in memo texts and in band and
// object properties (visible-if, group conditions, outline texts).
//
//   literals       12, 3.5, 'text' ('' escapes a quote)
//   data fields    <Ds."FIELD">, Ds."FIELD"
//   variables      gStCodUsua, <gDtFecFina>          (asked of the variable resolver)
//   system values  PAGE#, TOTALPAGES#, DATE, TIME, LINE#
//   operators      + - * / div mod, = <> < > <= >=, and or not, unary minus, parentheses
//   functions      IIF(c, a, b), IntToStr, FloatToStr, trunc, round, MonthOf, YearOf, DayOf, Trim,
//                  UpperCase, Copy, Length, FormatFloat(fmt, x), DateToStr
//   aggregates     SUM(expr), COUNT([band]), MIN(expr), MAX(expr), AVG(expr)
//
// Values are QVariants: double for numbers (integers are kept as qint64 where exact), QString, bool,
// TDateTime dates as QDateTime, invalid for null. Arithmetic treats null as 0 and "" in a "+" with text
// as text; comparisons of a null with a number compare 0. Errors (syntax, unknown function) are
// GeneralError messages naming the expression.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

namespace report {

struct ExprNode;

// What an expression may ask of its surroundings while it is evaluated.
class ExpressionContext {
public:
    virtual ~ExpressionContext() = default;
    virtual QVariant fieldValue(const QString& dataSet, const QString& field) = 0;
    virtual QVariant variable(const QString& name) = 0;
    virtual QVariant systemValue(const QString& name) = 0; // PAGE#, TOTALPAGES#, DATE, TIME, LINE#
    // An aggregate's current value; node identifies the call in the parsed expression.
    virtual QVariant aggregate(const ExprNode& node) = 0;
};

class Expression {
public:
    Expression() = default;
    // Throws GeneralError "Error en la expresión '<text>': <reason>".
    static Expression parse(const QString& text);

    QVariant evaluate(ExpressionContext& context) const;
    bool isEmpty() const { return !m_root; }
    const QString& text() const { return m_text; }
    const ExprNode* root() const { return m_root.get(); }

    // Aggregate calls in this expression (SUM/COUNT/MIN/MAX/AVG), outermost first.
    std::vector<const ExprNode*> aggregates() const;
    // Datasets whose fields the expression reads (outside aggregates and inside).
    QStringList dataSets() const;
    // True when the expression reads PAGE# or TOTALPAGES#.
    bool usesPageNumbers() const;

private:
    QString m_text;
    std::shared_ptr<const ExprNode> m_root;
};

enum class AggregateFunction { Sum, Count, Min, Max, Avg };

// For the engine: what an aggregate call asks.
struct AggregateCall {
    AggregateFunction function;
    const ExprNode* argument = nullptr; // value expression (null for COUNT)
    QString bandName;                    // optional band argument
};
AggregateCall describeAggregate(const ExprNode& node);
// Evaluates a sub-expression of a parsed expression (an aggregate's argument).
QVariant evaluateNode(const ExprNode& node, ExpressionContext& context);

// A memo text split into literal pieces and "[expression]" pieces (the brackets removed). Brackets inside
// quotes do not count and nested brackets pair up. Throws GeneralError "falta ']' en el texto '<text>'"
// when a "[" is never closed.
struct TextSegment {
    bool isExpression = false;
    QString text;
};
std::vector<TextSegment> splitBracketed(const QString& text);

// Value helpers shared with the formatter.
double toNumber(const QVariant& v);
bool toBool(const QVariant& v);
bool isNumeric(const QVariant& v);
// A value as text without a display format: dates in the short date format, floats with the locale's
// decimal separator and up to 15 significant digits, integers plain, null empty.
QString valueText(const QVariant& v);

} // namespace report
