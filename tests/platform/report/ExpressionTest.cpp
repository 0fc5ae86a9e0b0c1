#include "DisplayFormat.h"
#include "Expression.h"
#include "GeneralError.h"
#include "TestSupport.h"
#include "TextMeasurer.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QImage>
#include <gtest/gtest.h>

using namespace report;

namespace {

class FakeContext : public ExpressionContext {
public:
    QVariant fieldValue(const QString& ds, const QString& field) override {
        if (ds == QLatin1String("Cds") && field == QLatin1String("VAL"))
            return 1234.5;
        if (ds == QLatin1String("Cds") && field == QLatin1String("NULO"))
            return QVariant();
        if (ds == QLatin1String("Cds") && field == QLatin1String("NOM"))
            return QStringLiteral("Nómina");
        if (ds == QLatin1String("Cds") && field == QLatin1String("CANT"))
            return 7;
        throw GeneralError(QStringLiteral("campo %1.%2").arg(ds, field));
    }
    QVariant variable(const QString& name) override {
        if (name == QLatin1String("gDtFecFina"))
            return QDateTime(QDate(2026, 12, 31), QTime(0, 0));
        if (name == QLatin1String("gStEstudio"))
            return QStringLiteral("S");
        throw GeneralError(QStringLiteral("variable %1").arg(name));
    }
    QVariant systemValue(const QString& name) override {
        return name == QLatin1String("PAGE#") ? QVariant(3) : QVariant();
    }
    QVariant aggregate(const ExprNode&) override { return 99.0; }
};

struct ExprCase {
    const char* name;
    const char* expr;
    const char* expected; // the value as text, through valueText
};

TEST(Expression, Evaluates) {
    const ExprCase cases[] = {
        {"Precedence", "1 + 2 * 3 - 4 / 2", "5"},
        {"IntegerArithmeticStaysIntegral", "7 * 3", "21"},
        {"DivAndMod", "17 div 5 + 17 mod 5", "5"},
        {"UnaryMinus", "-Cds.\"CANT\" + 10", "3"},
        {"BracketedField", "<Cds.\"VAL\"> * 2", "2469"},
        {"NullCountsAsZero", "<Cds.\"NULO\"> + <Cds.\"VAL\">", "1234,5"},
        {"TextConcatenation", "'Total ' + Cds.\"NOM\"", "Total Nómina"},
        {"QuoteEscape", "'O''Brien'", "O'Brien"},
        {"LessThanAfterOperand", "<Cds.\"CANT\"> < 8", "True"},
        {"ComparisonsWithNull", "<Cds.\"NULO\"> = 0", "True"},
        {"TextComparison", "<gStEstudio> = 'S'", "True"},
        {"AndOrNot", "not (1 > 2) and (1 = 2 or 3 >= 3)", "True"},
        {"IifChoosesBranch", "IIF(<Cds.\"VAL\"> <> 0, 'con', 'sin')", "con"},
        {"QuarterOfDecember", "trunc(MonthOf(<gDtFecFina>) / 3)", "4"},
        {"YearOf", "YearOf(<gDtFecFina>)", "2026"},
        {"IntToStr", "IntToStr(42.9) + '!'", "42!"},
        {"FloatToStrUsesLocaleDecimals", "FloatToStr(2.5)", "2,5"},
        {"DivisionByZeroIsEmpty", "1 / 0", ""},
        {"PageNumber", "PAGE# + 1", "4"},
        {"AggregateAskedOfTheContext", "SUM(<Cds.\"VAL\">) + 1", "100"},
        {"DateVariablePrintsShortDate", "gDtFecFina", "31/12/2026"},
    };
    for (const ExprCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeContext ctx;
        const QVariant v = Expression::parse(QString::fromUtf8(c.expr)).evaluate(ctx);
        EXPECT_EQ(valueText(v), QString::fromUtf8(c.expected)) << c.expr;
    }
}

TEST(Expression, SyntaxErrorsNameTheExpression) {
    for (const char* bad : {"1 +", "IIF(1, 2", "<Cds.\"VAL\"", "'abierto", "2 $ 3", "Cds."}) {
        const QString message = testsupport::errorOf([&] { Expression::parse(QString::fromLatin1(bad)); });
        EXPECT_TRUE(
            message.startsWith(QStringLiteral("Error en la expresión '%1'").arg(QString::fromLatin1(bad))))
            << message.toStdString();
    }
    FakeContext ctx;
    EXPECT_THROW(Expression::parse(QStringLiteral("NoExiste(1)")).evaluate(ctx), GeneralError);

    // Nesting that would exhaust the stack is refused; two hundred levels still parse and evaluate.
    for (const QString& text : {QString(20000, QLatin1Char('(')) + QLatin1Char('1'), QString(20000, QLatin1Char('-')) + QLatin1Char('1'),
                                QStringLiteral("not ").repeated(20000) + QLatin1Char('1'),
                                QStringLiteral("1").append(QStringLiteral("+1").repeated(20000))}) {
        const QString message = testsupport::errorOf([&] { Expression::parse(text); });
        EXPECT_TRUE(message.contains(QStringLiteral("anida más de 200 niveles de paréntesis u operadores")))
            << message.left(80).toStdString();
    }
    EXPECT_EQ(Expression::parse(QStringLiteral("1").append(QStringLiteral("+1").repeated(150))).evaluate(ctx),
              QVariant(151));
}

struct FormatCase {
    const char* name;
    const char* format;
    QVariant value;
    const char* expected;
    const char* excel;
};

TEST(DisplayFormat, FormatsAndGivesTheSpreadsheetFormat) {
    const FormatCase cases[] = {
        {"Money", "%2.2m", 1234567.891, "$ 1.234.567,89", "\"$\" #,##0.00;-\"$\" #,##0.00"},
        {"MoneyOfInteger", "%2.2m", 15, "$ 15,00", "\"$\" #,##0.00;-\"$\" #,##0.00"},
        {"MoneyNullIsEmpty", "%2.2m", QVariant(), "", "\"$\" #,##0.00;-\"$\" #,##0.00"},
        {"Fixed", "%2.2f", 1234.567, "1234,57", "0.00"},
        {"Thousands", "%2.2n", 1234.567, "1.234,57", "#,##0.00"},
        {"General", "%g", 12.5, "12,5", "General"},
        {"WholeNumber", "0", 7.6, "8", "0"},
        {"Pattern", "#,##0.00", 9876.5, "9.876,50", "#,##0.00"},
        {"TextPassesThrough", "%2.2m", QStringLiteral("ADMINISTRACION"), "ADMINISTRACION",
         "\"$\" #,##0.00;-\"$\" #,##0.00"},
        {"Date", "dd/mm/yyyy", QDateTime(QDate(2026, 3, 5), QTime(0, 0)), "05/03/2026", "dd/mm/yyyy"},
        {"DateTime", "dd/mm/yyyy hh:nn", QDateTime(QDate(2026, 3, 5), QTime(14, 7)), "05/03/2026 14:07",
         "dd/mm/yyyy hh:mm"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.name);
        const FormatSettings fs = FormatSettings::colombian();
        const DisplayFormat f(QString::fromLatin1(c.format));
        EXPECT_EQ(f.format(c.value, fs), QString::fromUtf8(c.expected));
        EXPECT_EQ(f.excelFormat(fs), QString::fromUtf8(c.excel));
    }
}

TEST(DisplayFormat, CellValuesKeepNumbersAndDates) {
    const FormatSettings fs = FormatSettings::colombian();
    const CellValue money = DisplayFormat(QStringLiteral("%2.2m")).cellValue(1234.567, fs);
    EXPECT_EQ(money.kind, CellValue::Kind::Number);
    EXPECT_DOUBLE_EQ(money.number, 1234.57);
    const CellValue date = DisplayFormat(QStringLiteral("dd/mm/yyyy")).cellValue(QDateTime(QDate(2026, 1, 1), QTime()), fs);
    EXPECT_EQ(date.kind, CellValue::Kind::Date);
    EXPECT_DOUBLE_EQ(date.number, 46023);
    EXPECT_EQ(DisplayFormat(QStringLiteral("%2.2m")).cellValue(QStringLiteral("x"), fs).kind, CellValue::Kind::None);
}

TEST(TextMeasurer, MarkupAndLineBreaking) {
    const auto runs = TextMeasurer::parseMarkup(QStringLiteral("<B>OBSERVACIONES:</B> \n\nsin novedad"), true);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_TRUE(runs[0].bold);
    EXPECT_EQ(runs[0].text, QStringLiteral("OBSERVACIONES:"));
    EXPECT_FALSE(runs[1].bold);
    TextMeasurer m;
    FontSpec font;
    const auto lines = m.breakLines(font, runs, 100, true);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].plainText(), QStringLiteral("OBSERVACIONES:"));
    EXPECT_EQ(lines[1].plainText(), QString());
    EXPECT_EQ(lines[2].plainText(), QStringLiteral("sin novedad"));
    // Without markup the tags are text.
    EXPECT_EQ(TextMeasurer::parseMarkup(QStringLiteral("<B>x</B>"), false).front().text, QStringLiteral("<B>x</B>"));
    // A word longer than the width is cut by characters; every line fits.
    const auto cut = m.breakLines(font, {TextRun{QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), false, false, false}}, 10, true);
    EXPECT_GT(cut.size(), 2);
    for (const TextLine& l : cut)
        EXPECT_LE(l.widthMm, 10 + 1e-6);
    // Without word wrap only line feeds break.
    EXPECT_EQ(m.breakLines(font, {TextRun{QStringLiteral("uno dos tres cuatro cinco"), false, false, false}}, 5, false).size(), 1);
}

// Widths are added up from characters and pairs rather than shaped: they must be the shaped widths exactly,
// kerned pairs, accents, a no-break space, ligature candidates and texts past the first checked ones
// included, in the families and styles the layouts use.
TEST(TextMeasurer, WidthsAreTheShapedWidths) {
    const QStringList texts{QStringLiteral("AVATAR TOTAL Wo Ty LT P. Yo"), QStringLiteral("PEÑALOSA GÓMEZ MARÍA"),
                            QStringLiteral("$ -1.234.567,89"), QStringLiteral("Página 12 de 40"),
                            QStringLiteral("oficina fflúor"), QStringLiteral("año\u00A02026 «Ñandú» ¿qué? ¡sí!"),
                            QStringLiteral("  dos blancos  "), QString()};
    TextMeasurer m;
    constexpr double kMmPerUnit = 25.4 / TextMeasurer::kResolutionDpi;
    QImage device(1, 1, QImage::Format_ARGB32);
    device.setDotsPerMeterX(qRound(TextMeasurer::kResolutionDpi / 0.0254));
    device.setDotsPerMeterY(qRound(TextMeasurer::kResolutionDpi / 0.0254));
    for (const QString& family : {QStringLiteral("Arial"), QStringLiteral("Times New Roman"), QStringLiteral("Courier New")})
        for (int style = 0; style < 4; ++style) {
            FontSpec font;
            font.family = family;
            font.sizePt = 7 + style;
            for (int round = 0; round < 60; ++round) // past the texts checked against shaping
                for (const QString& text : texts) {
                    const TextRun run{text + QString::number(round), bool(style & 1), bool(style & 2), false};
                    const QFontMetricsF shaped(TextMeasurer::qfont(font, run.bold, run.italic, false), &device);
                    ASSERT_DOUBLE_EQ(m.width(font, run), shaped.horizontalAdvance(run.text) * kMmPerUnit)
                        << family.toStdString() << " " << style << " " << run.text.toStdString();
                }
        }
}

} // namespace
