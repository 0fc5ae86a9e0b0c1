// Calculated fields: computed per record as it becomes current and for any row a grid reads, never
// stored.
#include "DataSetTestSupport.h"

#include <set>

using dstest::appendRow;
using testsupport::errorOf;

namespace {

// CdsGH's share: DtfPorCent = CONTEO * 100 / TOT_EMPL, only for positive counts.
class CalcFields : public ::testing::Test {
protected:
    void SetUp() override {
        ds.AddField(QStringLiteral("CONTEO"), TFieldType::ftInteger);
        ds.AddField(QStringLiteral("TOT_EMPL"), TFieldType::ftInteger);
        ds.AddField(QStringLiteral("DtfPorCent"), TFieldType::ftFloat, 0, TFieldKind::fkCalculated);
        ds.AddField(QStringLiteral("DtfNmbSexo"), TFieldType::ftString, 32, TFieldKind::fkCalculated);
        ds.OnCalcFields = [this](TDataSet& d) {
            ++calls;
            statesSeen.insert(d.State());
            const int conteo = d.FieldByName(QStringLiteral("CONTEO")).AsInteger();
            const int total = d.FieldByName(QStringLiteral("TOT_EMPL")).AsInteger();
            if (conteo > 0 && total > 0)
                d.FieldByName(QStringLiteral("DtfPorCent")).SetAsFloat(conteo * 100.0 / total);
            d.FieldByName(QStringLiteral("DtfNmbSexo")).SetAsString(QStringLiteral("fila %1").arg(conteo));
        };
        ds.CreateDataSet();
        appendRow(ds, {1, 4});
        appendRow(ds, {3, 4});
        appendRow(ds, {0, 4});
    }
    double pct() { return ds.FieldByName(QStringLiteral("DtfPorCent")).AsFloat(); }

    TClientDataSet ds{QStringLiteral("CdsGH")};
    int calls = 0;
    std::set<TDataSetState> statesSeen;
};

TEST_F(CalcFields, RecomputedForEachRecordThatBecomesCurrentAndAfterAPost) {
    ds.First();
    EXPECT_EQ(pct(), 25.0);
    ds.Next();
    EXPECT_EQ(pct(), 75.0);
    ds.Next();
    EXPECT_TRUE(ds.FieldByName(QStringLiteral("DtfPorCent")).IsNull());
    const int before = calls;
    ds.Next(); // already on the last record
    EXPECT_EQ(calls, before);
    ds.Locate(QStringLiteral("CONTEO"), {3});
    EXPECT_EQ(calls, before + 1);
    EXPECT_EQ(ds.FieldByName(QStringLiteral("DtfNmbSexo")).AsString(), QStringLiteral("fila 3"));
    ASSERT_TRUE(ds.Locate(QStringLiteral("DtfNmbSexo"), {QStringLiteral("fila 0")}))
        << "a calculated key is scanned";
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_EQ(statesSeen, (std::set<TDataSetState>{TDataSetState::dsCalcFields}));
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);

    ds.First();
    ds.Edit();
    ds.FieldByName(QStringLiteral("CONTEO")).SetAsInteger(2);
    EXPECT_EQ(pct(), 25.0) << "not recomputed before the post";
    ds.Post();
    EXPECT_EQ(pct(), 50.0);
}

TEST_F(CalcFields, ValueAtComputesOtherRowsWithoutMovingTheCursor) {
    ds.First();
    int scrolls = 0;
    ds.AfterScroll = [&](TDataSet&) { ++scrolls; };
    const int pctIndex = ds.FieldByName(QStringLiteral("DtfPorCent")).Index();
    EXPECT_EQ(ds.valueAt(1, pctIndex), QVariant(75.0));
    EXPECT_EQ(ds.valueAt(0, pctIndex), QVariant(25.0));
    EXPECT_FALSE(ds.valueAt(2, pctIndex).isValid());
    EXPECT_EQ(ds.displayTextAt(1, ds.FieldByName(QStringLiteral("DtfNmbSexo")).Index()), QStringLiteral("fila 3"));
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_EQ(pct(), 25.0);
    EXPECT_EQ(scrolls, 0);
}

TEST_F(CalcFields, OnlyCalculatedFieldsAreWrittenDuringTheComputation) {
    ds.OnCalcFields = [](TDataSet& d) { d.FieldByName(QStringLiteral("CONTEO")).SetAsInteger(1); };
    EXPECT_EQ(errorOf([&] { ds.First(); }),
              QStringLiteral("El campo 'CONTEO' no puede modificarse mientras se calculan los campos de CdsGH."));
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(errorOf([&] { ds.FieldByName(QStringLiteral("DtfPorCent")).SetAsFloat(1); }),
              QStringLiteral("El conjunto de datos CdsGH no está en modo de edición o inserción."));
}

} // namespace
