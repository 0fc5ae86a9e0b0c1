// Locate and Lookup: exact keys through the hash index, the option variants, and the index kept right
// across edits, deletes and emptying.
#include "DataSetTestSupport.h"

#include <QDate>

using dstest::appendRow;
using testsupport::errorOf;

namespace {

// Concepts of employees: a float key, a 16-bit key, a name and a date.
std::unique_ptr<TClientDataSet> makeConcepts() {
    auto ds = std::make_unique<TClientDataSet>(QStringLiteral("CdsConceptos"));
    ds->AddField(QStringLiteral("COD_EMPL"), TFieldType::ftFloat);
    ds->AddField(QStringLiteral("COD_CONC"), TFieldType::ftSmallint);
    ds->AddField(QStringLiteral("NOM_EMPL"), TFieldType::ftFixedChar, 10);
    ds->AddField(QStringLiteral("FEC_ACUM"), TFieldType::ftDateTime);
    ds->CreateDataSet();
    appendRow(*ds, {1234.0, 7, QStringLiteral("ANA"), QDate(2026, 1, 15)});
    appendRow(*ds, {1234.0, 8, QStringLiteral("LUIS"), QVariant()});
    appendRow(*ds, {99.0, 7, QStringLiteral("ana"), QDate(2026, 2, 1)});
    appendRow(*ds, {5.0, 1, QStringLiteral("MARTA"), QDate(2026, 3, 1)});
    return ds;
}

struct LocateCase {
    const char* name;
    const char* keys;
    QVariantList values;
    TLocateOptions options;
    int recNo; // 0: not found
};

TEST(Locate, FindsTheFirstMatchingRecord) {
    const LocateCase cases[] = {
        {"FloatAndSmallintFromDoubleAndInt", "COD_EMPL;COD_CONC", {1234.0, 7}, {}, 1},
        {"KeysFromTexts", "COD_EMPL;COD_CONC", {QStringLiteral("99"), QStringLiteral("7")}, {}, 3},
        {"KeyOrderFollowsTheNames", "COD_CONC;COD_EMPL", {7, 99}, {}, 3},
        {"SmallintAndText", "COD_CONC;NOM_EMPL", {7, QStringLiteral("ana")}, {}, 3},
        {"PaddedTextMatchesFixedChar", "NOM_EMPL", {QStringLiteral("LUIS      ")}, {}, 2},
        {"DateFromQDate", "FEC_ACUM", {QDate(2026, 2, 1)}, {}, 3},
        {"DateFromIsoText", "FEC_ACUM", {QStringLiteral("2026-01-15")}, {}, 1},
        {"NullMatchesNull", "COD_EMPL;FEC_ACUM", {1234.0, QVariant()}, {}, 2},
        {"TextIsCaseSensitive", "NOM_EMPL", {QStringLiteral("Ana")}, {}, 0},
        {"NoSuchPair", "COD_EMPL;COD_CONC", {99.0, 8}, {}, 0},
        {"CaseInsensitive", "NOM_EMPL", {QStringLiteral("marta")}, TLocateOption::loCaseInsensitive, 4},
        {"PartialKey", "NOM_EMPL", {QStringLiteral("LU")}, TLocateOption::loPartialKey, 2},
        {"PartialKeyIsCaseSensitive", "NOM_EMPL", {QStringLiteral("an")}, TLocateOption::loPartialKey, 3},
        {"PartialAndCaseInsensitive",
         "COD_CONC;NOM_EMPL",
         {7, QStringLiteral("AN")},
         TLocateOption::loPartialKey | TLocateOption::loCaseInsensitive,
         1},
    };
    for (const LocateCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto ds = makeConcepts();
        ds->Last();
        const bool found = ds->Locate(QString::fromLatin1(c.keys), c.values, c.options);
        EXPECT_EQ(found, c.recNo != 0) << c.name;
        EXPECT_EQ(ds->RecNo(), c.recNo != 0 ? c.recNo : 4)
            << c.name << ": a miss leaves the cursor where it was";
    }
}

TEST(Locate, RefusesUnknownFieldsAndWrongValueCounts) {
    auto ds = makeConcepts();
    EXPECT_EQ(errorOf([&] { ds->Locate(QStringLiteral("COD_EMPL;COD_NADA"), {1, 2}); }),
              QStringLiteral("Campo 'COD_NADA' no encontrado en CdsConceptos."));
    EXPECT_EQ(errorOf([&] { ds->Locate(QStringLiteral("COD_EMPL;COD_CONC"), {1}); }),
              QStringLiteral("La búsqueda en CdsConceptos espera 2 valores y recibió 1."));
    EXPECT_EQ(errorOf([&] { ds->Locate(QStringLiteral("COD_CONC"), {40000}); }),
              QStringLiteral("El valor 40000 está fuera del rango del campo 'COD_CONC' (-32768 a 32767)."));
}

TEST(Locate, FollowsEditsThatChangeTheKey) {
    auto ds = makeConcepts();
    const QString keys = QStringLiteral("COD_EMPL;COD_CONC");
    ASSERT_TRUE(ds->Locate(keys, {1234.0, 7})); // builds the index
    ds->Edit();
    ds->FieldByName(QStringLiteral("COD_CONC")).SetAsInteger(9);
    ds->Cancel();
    EXPECT_TRUE(ds->Locate(keys, {1234.0, 7})) << "a cancelled edit keeps the old key";

    ds->Edit();
    ds->FieldByName(QStringLiteral("COD_CONC")).SetAsInteger(9);
    ds->Last();
    EXPECT_FALSE(ds->Locate(keys, {1234.0, 7}));
    ASSERT_TRUE(ds->Locate(keys, {1234.0, 9}));
    EXPECT_EQ(ds->RecNo(), 1);

    // An edit pending when Locate runs is posted first, so its new key is found.
    ds->Edit();
    ds->FieldByName(QStringLiteral("COD_EMPL")).SetAsFloat(77);
    ASSERT_TRUE(ds->Locate(keys, {77, 9}));
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds->RecNo(), 1);
}

TEST(Locate, FollowsDeletesAndEmptying) {
    auto ds = makeConcepts();
    const QString keys = QStringLiteral("COD_EMPL;COD_CONC");
    ASSERT_TRUE(ds->Locate(keys, {1234.0, 8}));
    ds->Delete();
    EXPECT_FALSE(ds->Locate(keys, {1234.0, 8}));
    ASSERT_TRUE(ds->Locate(keys, {5.0, 1}));
    EXPECT_EQ(ds->RecNo(), 3) << "positions after the deleted record moved up";

    ds->Edit();
    ds->FieldByName(QStringLiteral("COD_CONC")).SetAsInteger(2);
    ds->Delete(); // the pending edit goes with the record
    EXPECT_FALSE(ds->Locate(keys, {5.0, 1}));
    EXPECT_FALSE(ds->Locate(keys, {5.0, 2}));

    ds->EmptyDataSet();
    EXPECT_FALSE(ds->Locate(keys, {99.0, 7}));
    appendRow(*ds, {99.0, 7});
    appendRow(*ds, {99.0, 7});
    ASSERT_TRUE(ds->Locate(keys, {99.0, 7}));
    EXPECT_EQ(ds->RecNo(), 1) << "of equal keys, the first in order wins";
    ds->Close();
    ds->Open();
    EXPECT_FALSE(ds->Locate(keys, {99.0, 7})) << "reopening a client dataset starts empty";
}

TEST(Locate, OnAnOrderedViewGivesThePositionInThatOrder) {
    auto ds = makeConcepts();
    ds->SetIndexFieldNames(QStringLiteral("COD_EMPL;COD_CONC"));
    ASSERT_TRUE(ds->Locate(QStringLiteral("COD_EMPL;COD_CONC"), {1234.0, 8}));
    EXPECT_EQ(ds->RecNo(), 4);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("NOM_EMPL")).AsString(), QStringLiteral("LUIS"));
}

TEST(Lookup, ReadsWithoutMovingTheCursor) {
    auto ds = makeConcepts();
    ds->First();
    EXPECT_EQ(ds->Lookup(QStringLiteral("COD_EMPL;COD_CONC"), {99, 7}, QStringLiteral("NOM_EMPL")),
              QVariant(QStringLiteral("ana")));
    EXPECT_EQ(ds->Lookup(QStringLiteral("COD_CONC"), {8}, QStringLiteral("COD_EMPL;NOM_EMPL")),
              QVariant(QVariantList{1234.0, QStringLiteral("LUIS")}));
    EXPECT_FALSE(ds->Lookup(QStringLiteral("COD_CONC"), {3}, QStringLiteral("NOM_EMPL")).isValid());
    EXPECT_EQ(ds->RecNo(), 1);
}

} // namespace
