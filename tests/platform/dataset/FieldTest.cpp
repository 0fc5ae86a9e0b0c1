// Field conversions, typed reads of nulls, texts for display, and the field events.
#include "DataSetTestSupport.h"

#include <QDate>
#include <QDateTime>

using testsupport::errorOf;

namespace {

// Serial of 15 Jan 2026 (a literal: the table is built before other units' statics are ready).
const double kJan15 = 46037.0;

struct ConvertCase {
    const char* name;
    TFieldType type;
    int size;
    QVariant in;
    QVariant expected; // invalid: null
};

TEST(FieldConvert, StoresTheFieldsOwnForm) {
    const ConvertCase cases[] = {
        {"SmallintFromWholeDouble", TFieldType::ftSmallint, 0, 1234.0, 1234},
        {"SmallintFromPaddedText", TFieldType::ftSmallint, 0, QStringLiteral(" 42 "), 42},
        {"SmallintUpperBound", TFieldType::ftSmallint, 0, 32767, 32767},
        {"SmallintLowerBound", TFieldType::ftSmallint, 0, -32768, -32768},
        {"SmallintEmptyTextIsNull", TFieldType::ftSmallint, 0, QString(""), QVariant()},
        {"IntegerRoundsFraction", TFieldType::ftInteger, 0, 41.6, 42},
        {"LargeintTextKeeps64Bits", TFieldType::ftLargeint, 0, QStringLiteral("9007199254740993"),
         QVariant::fromValue<qint64>(9007199254740993LL)},
        {"FloatFromProgramText", TFieldType::ftFloat, 0, QStringLiteral("1234.5"), 1234.5},
        {"FloatFromLocaleText", TFieldType::ftFloat, 0, QStringLiteral("1.234,5"), 1234.5},
        {"TextCutToSize", TFieldType::ftString, 5, QStringLiteral("ABCDEFG"), QStringLiteral("ABCDE")},
        {"TextKeepsTrailingBlanks", TFieldType::ftString, 10, QStringLiteral("AB  "), QStringLiteral("AB  ")},
        {"TextFromNumber", TFieldType::ftString, 10, 7, QStringLiteral("7")},
        {"TextEmptyIsNull", TFieldType::ftString, 10, QString(""), QVariant()},
        {"FixedCharRightTrimmed", TFieldType::ftFixedChar, 10, QStringLiteral(" AB       "),
         QStringLiteral(" AB")},
        {"FixedCharCutThenTrimmed", TFieldType::ftFixedChar, 3, QStringLiteral("AB CD"),
         QStringLiteral("AB")},
        {"FixedCharBlanksAreNull", TFieldType::ftFixedChar, 4, QStringLiteral("    "), QVariant()},
        {"DateFromQDate", TFieldType::ftDateTime, 0, QDate(2026, 1, 15), kJan15},
        {"DateFromQDateTime", TFieldType::ftDateTime, 0, QDateTime(QDate(2026, 1, 15), QTime(12, 0)),
         kJan15 + 0.5},
        {"DateFromIsoText", TFieldType::ftDateTime, 0, QStringLiteral("2026-01-15"), kJan15},
        {"DateFromIsoTextWithTime", TFieldType::ftDateTime, 0, QStringLiteral("2026-01-15 06:00:00"),
         kJan15 + 0.25},
        {"DateFromShortDateText", TFieldType::ftDateTime, 0, QStringLiteral("15/01/2026"), kJan15},
        {"BooleanFromSpanishYes", TFieldType::ftBoolean, 0, QStringLiteral("S"), true},
        {"BlobFromText", TFieldType::ftBlob, 0, QStringLiteral("ñ"), QByteArray("\xc3\xb1")},
        {"NullDateStaysNull", TFieldType::ftDateTime, 0, QVariant(), QVariant()},
    };
    for (const ConvertCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TField field(nullptr, QStringLiteral("F"), c.type, c.size, TFieldKind::fkData, 0);
        const QVariant got = field.convert(c.in);
        EXPECT_EQ(got.isValid(), c.expected.isValid()) << c.name;
        if (c.expected.isValid() && got.isValid()) {
            EXPECT_EQ(got.metaType(), c.expected.metaType()) << c.name;
            EXPECT_EQ(got, c.expected) << c.name;
        }
    }
}

struct RefusedCase {
    const char* name;
    const char* field;
    TFieldType type;
    QVariant in;
    const char* message;
};

TEST(FieldConvert, RefusalsNameTheFieldInSpanish) {
    const RefusedCase cases[] = {
        {"SmallintAboveRange", "COD_TNOM", TFieldType::ftSmallint, 40000,
         "El valor 40000 está fuera del rango del campo 'COD_TNOM' (-32768 a 32767)."},
        {"SmallintBelowRange", "COD_CCOS", TFieldType::ftSmallint, -32769.0,
         "El valor -32769 está fuera del rango del campo 'COD_CCOS' (-32768 a 32767)."},
        {"IntegerAboveRange", "CONTEO", TFieldType::ftInteger, QVariant::fromValue<qint64>(3000000000LL),
         "El valor 3000000000 está fuera del rango del campo 'CONTEO' (-2147483648 a 2147483647)."},
        {"IntegerFromWords", "COD_TNOM", TFieldType::ftSmallint, QStringLiteral("abc"),
         "El valor 'abc' no es un número válido para el campo 'COD_TNOM'."},
        {"FloatFromWords", "VAL_ACUM", TFieldType::ftFloat, QStringLiteral("12x"),
         "El valor '12x' no es un número válido para el campo 'VAL_ACUM'."},
        {"DateThatDoesNotExist", "FEC_ACUM", TFieldType::ftDateTime, QStringLiteral("31/02/2026"),
         "El valor '31/02/2026' no es una fecha válida para el campo 'FEC_ACUM'."},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TField field(nullptr, QString::fromUtf8(c.field), c.type, 0, TFieldKind::fkData, 0);
        EXPECT_EQ(errorOf([&] { field.convert(c.in); }), QString::fromUtf8(c.message));
    }
}

// A one-record dataset with a field of every type, the record in insert state.
class FieldAccess : public ::testing::Test {
protected:
    void SetUp() override {
        ds.AddField(QStringLiteral("SMALL"), TFieldType::ftSmallint);
        ds.AddField(QStringLiteral("FLOAT"), TFieldType::ftFloat);
        ds.AddField(QStringLiteral("TEXT"), TFieldType::ftString, 20);
        ds.AddField(QStringLiteral("FIXED"), TFieldType::ftFixedChar, 3);
        ds.AddField(QStringLiteral("DATE"), TFieldType::ftDateTime);
        ds.AddField(QStringLiteral("FLAG"), TFieldType::ftBoolean);
        ds.AddField(QStringLiteral("LOGO"), TFieldType::ftBlob);
        ds.CreateDataSet();
        ds.Append();
    }
    TField& f(const char* name) { return ds.FieldByName(QString::fromLatin1(name)); }
    TClientDataSet ds{QStringLiteral("CdsCampos")};
};

TEST_F(FieldAccess, NullsReadAsZeroEmptyFalseAndZeroDate) {
    for (int i = 0; i < ds.FieldCount(); ++i)
        EXPECT_TRUE(ds.Field(i).IsNull()) << ds.Field(i).FieldName().toStdString();
    EXPECT_EQ(f("SMALL").AsInteger(), 0);
    EXPECT_EQ(f("FLOAT").AsFloat(), 0.0);
    EXPECT_EQ(f("TEXT").AsString(), QString());
    EXPECT_EQ(f("TEXT").AsInteger(), 0);
    EXPECT_EQ(f("FLAG").AsBoolean(), false);
    EXPECT_TRUE(f("DATE").AsDateTime().isZero());
    EXPECT_TRUE(f("LOGO").AsBytes().isEmpty());
    EXPECT_EQ(f("DATE").DisplayText(), QString());
}

TEST_F(FieldAccess, TextsUseTheLocaleAndTypedReadsCrossTypes) {
    f("SMALL").SetAsInteger(-12);
    f("FLOAT").SetAsFloat(1234.5);
    f("DATE").SetAsDateTime(TDateTime::encodeDate(2026, 1, 15));
    f("FLAG").SetAsBoolean(true);
    EXPECT_EQ(f("SMALL").AsString(), QStringLiteral("-12"));
    EXPECT_EQ(f("FLOAT").AsString(), QStringLiteral("1234,5"));
    EXPECT_EQ(f("DATE").AsString(), QStringLiteral("15/01/2026"));
    EXPECT_EQ(f("FLAG").AsString(), QStringLiteral("True"));

    f("FLOAT").SetAsFloat(0.1 + 0.2); // the shortest text that reads back the same double
    EXPECT_EQ(f("FLOAT").AsString(), QStringLiteral("0,30000000000000004"));
    f("DATE").SetValue(QDateTime(QDate(2026, 1, 15), QTime(18, 30, 5)));
    EXPECT_EQ(f("DATE").DisplayText(), QStringLiteral("15/01/2026 18:30:05"));

    // Typed reads across types.
    f("FLOAT").SetAsFloat(2.6);
    EXPECT_EQ(f("FLOAT").AsInteger(), 3);
    f("TEXT").SetAsString(QStringLiteral("17"));
    EXPECT_EQ(f("TEXT").AsInteger(), 17);
    EXPECT_EQ(f("TEXT").AsFloat(), 17.0);
    f("TEXT").SetAsFloat(2.5);
    EXPECT_EQ(f("TEXT").AsString(), QStringLiteral("2,5"));
    f("TEXT").SetAsDateTime(TDateTime::encodeDate(2026, 3, 1));
    EXPECT_EQ(f("TEXT").AsString(), QStringLiteral("01/03/2026"));
    EXPECT_EQ(f("TEXT").AsDateTime(), TDateTime::encodeDate(2026, 3, 1));
    f("TEXT").SetAsString(QStringLiteral("abc"));
    EXPECT_EQ(errorOf([&] { f("TEXT").AsInteger(); }),
              QStringLiteral("El valor 'abc' del campo 'TEXT' no es un número entero."));
    f("FIXED").SetAsString(QStringLiteral("XY    "));
    EXPECT_EQ(f("FIXED").AsString(), QStringLiteral("XY"));
}

TEST_F(FieldAccess, OnValidateSeesTheNewValueAndARefusalRestoresTheOld) {
    TField& code = f("SMALL");
    TField& name = f("TEXT");
    code.SetAsInteger(5);
    name.SetAsString(QStringLiteral("CINCO"));
    QList<int> seen;
    int changes = 0;
    code.OnValidate = [&](TField& sender) {
        seen.push_back(sender.AsInteger());
        if (sender.AsInteger() == 99) {
            name.Clear(); // the catalogue check clears the name before refusing
            throw GeneralError(QStringLiteral("Clase de nómina no encontrada..."));
        }
        name.SetAsString(QStringLiteral("NOMBRE %1").arg(sender.AsInteger()));
    };
    code.OnChange = [&](TField&) { ++changes; };

    EXPECT_EQ(errorOf([&] { code.SetAsInteger(99); }), QStringLiteral("Clase de nómina no encontrada..."));
    EXPECT_EQ(code.AsInteger(), 5);
    EXPECT_EQ(errorOf([&] { code.SetAsInteger(70000); }),
              QStringLiteral("El valor 70000 está fuera del rango del campo 'SMALL' (-32768 a 32767)."));
    EXPECT_EQ(code.AsInteger(), 5) << "a value out of range is refused before validation";
    EXPECT_TRUE(name.IsNull());
    EXPECT_EQ(changes, 0);

    code.SetAsInteger(7);
    EXPECT_EQ(seen, (QList<int>{99, 7}));
    EXPECT_EQ(name.AsString(), QStringLiteral("NOMBRE 7"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(ds.State(), TDataSetState::dsInsert);
}

TEST_F(FieldAccess, OnGetTextStartsEmptyAndLeavesAsStringAlone) {
    TField& doc = f("FIXED");
    doc.OnGetText = [](TField& sender, QString& text, bool) {
        if (sender.AsString() == QLatin1String("C"))
            text = QStringLiteral("CC");
    };
    doc.SetAsString(QStringLiteral("C"));
    EXPECT_EQ(doc.DisplayText(), QStringLiteral("CC"));
    doc.SetAsString(QStringLiteral("X"));
    EXPECT_EQ(doc.DisplayText(), QString());
    EXPECT_EQ(doc.AsString(), QStringLiteral("X"));
}

} // namespace
