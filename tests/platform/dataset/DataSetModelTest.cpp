// The table model: what grids show, and edits that go through the dataset's checks.
#include "DataSetTestSupport.h"

#include "TDataSetModel.h"
#include "TDataSource.h"

#include <QAbstractItemModelTester>
#include <QDate>

using dstest::appendRow;
using dstest::column;

namespace {

// The class list of the request form: a code checked against a catalogue, a name filled from it.
class ClassListModel : public ::testing::Test {
protected:
    void SetUp() override {
        code = &cds.AddField(QStringLiteral("COD_TNOM"), TFieldType::ftSmallint);
        code->SetDisplayLabel(QStringLiteral("Código"));
        name = &cds.AddField(QStringLiteral("NOM_TNOM"), TFieldType::ftString, 40);
        name->SetDisplayLabel(QStringLiteral("Nombre"));
        cds.AddField(QStringLiteral("VAL"), TFieldType::ftFloat);
        cds.AddField(QStringLiteral("FEC"), TFieldType::ftDateTime);
        cds.AddField(QStringLiteral("OCULTO"), TFieldType::ftInteger).SetVisible(false);
        cds.AddField(QStringLiteral("FIJO"), TFieldType::ftInteger).SetReadOnly(true);
        cds.AddField(QStringLiteral("DOBLE"), TFieldType::ftFloat, 0, TFieldKind::fkCalculated);
        cds.OnCalcFields = [](TDataSet& d) {
            d.FieldByName(QStringLiteral("DOBLE")).SetAsFloat(d.FieldByName(QStringLiteral("VAL")).AsFloat() * 2);
        };
        cds.CreateDataSet();
        appendRow(cds, {1, QVariant(), 1.5, QDate(2026, 1, 15)});
        appendRow(cds, {2, QVariant(), 2.25});
        name->SetReadOnly(true); // shown, not typed: the code check fills it
        code->OnValidate = [this](TField& f) {
            if (f.AsInteger() > 10) {
                name->Clear();
                throw GeneralError(QStringLiteral("Clase de nómina no encontrada..."));
            }
            name->SetAsString(QStringLiteral("Clase %1").arg(f.AsInteger()));
        };
    }

    TClientDataSet cds{QStringLiteral("CdsNmTnomi")};
    TField* code = nullptr;
    TField* name = nullptr;
    TDataSource source{QStringLiteral("DtsNmTnomi"), &cds};
    TDataSetModel model{&source};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(ClassListModel, ShowsVisibleFieldsAsTheDataSetDisplaysThem) {
    ASSERT_EQ(model.rowCount(), 2);
    ASSERT_EQ(model.columnCount(), 6);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Código"));
    EXPECT_EQ(model.headerData(5, Qt::Horizontal).toString(), QStringLiteral("DOBLE"));
    EXPECT_EQ(model.fieldIndex(4), 5) << "the hidden field takes no column";
    EXPECT_EQ(model.fieldIndex(6), -1);
    EXPECT_EQ(model.data(model.index(1, 2)).toString(), QStringLiteral("2,25"));
    EXPECT_EQ(model.data(model.index(0, 3)).toString(), QStringLiteral("15/01/2026"));
    EXPECT_EQ(model.data(model.index(0, 3), Qt::EditRole), QVariant(QDate(2026, 1, 15)));
    EXPECT_EQ(model.data(model.index(1, 5)).toString(), QStringLiteral("4,5"));
    EXPECT_EQ(model.data(model.index(1, 0), Qt::EditRole), QVariant(2));
    EXPECT_EQ(cds.RecNo(), 2) << "reading rows does not move the cursor";
}

TEST_F(ClassListModel, ReadOnlyAndCalculatedColumnsAreNotEditable) {
    EXPECT_TRUE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.flags(model.index(0, 4)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.flags(model.index(0, 5)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(model.index(0, 4), 5));
    EXPECT_FALSE(model.setData(model.index(0, 5), 5.0));
    model.setReadOnly(true);
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(ClassListModel, AnAcceptedEditIsPostedWithWhatValidationFilled) {
    ASSERT_TRUE(model.setData(model.index(0, 0), QStringLiteral("7")));
    EXPECT_EQ(model.lastError(), QString());
    EXPECT_EQ(cds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(column(cds, QStringLiteral("COD_TNOM")), (QVariantList{7, 2}));
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("Clase 7"));
    ASSERT_TRUE(model.setData(model.index(1, 2), QStringLiteral("3,5")));
    EXPECT_EQ(model.data(model.index(1, 5)).toString(), QStringLiteral("7")) << "calculated column follows";
}

TEST_F(ClassListModel, ARefusedEditLeavesTheRecordAsItWas) {
    EXPECT_FALSE(model.setData(model.index(0, 0), 99));
    EXPECT_EQ(model.lastError(), QStringLiteral("Clase de nómina no encontrada..."));
    EXPECT_EQ(cds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(column(cds, QStringLiteral("COD_TNOM")), (QVariantList{1, 2}));
    EXPECT_FALSE(model.setData(model.index(1, 0), QStringLiteral("dos")));
    EXPECT_EQ(model.lastError(), QStringLiteral("El valor 'dos' no es un número válido para el campo 'Código'."));

    cds.BeforePost = [](TDataSet&) { throw GeneralError(QStringLiteral("Prototipo no encontrado...")); };
    EXPECT_FALSE(model.setData(model.index(1, 2), 8.0));
    EXPECT_EQ(model.lastError(), QStringLiteral("Prototipo no encontrado..."));
    EXPECT_EQ(column(cds, QStringLiteral("VAL")), (QVariantList{1.5, 2.25}));
}

TEST_F(ClassListModel, ARowBeingInsertedStaysWhenItsCodeIsRefused) {
    cds.Append();
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_FALSE(model.setData(model.index(2, 0), 50));
    EXPECT_EQ(cds.State(), TDataSetState::dsInsert);
    EXPECT_TRUE(code->IsNull());
    ASSERT_TRUE(model.setData(model.index(2, 0), 5));
    EXPECT_EQ(cds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(column(cds, QStringLiteral("NOM_TNOM")).last(), QVariant(QStringLiteral("Clase 5")));
}

TEST_F(ClassListModel, EditingAnotherRowFirstPostsThePendingOneAndStopsIfRefused) {
    cds.BeforePost = [](TDataSet& d) {
        if (d.FieldByName(QStringLiteral("COD_TNOM")).IsNull())
            throw GeneralError(QStringLiteral("Falta la clase."));
    };
    cds.Append();
    EXPECT_FALSE(model.setData(model.index(0, 2), 9.0));
    EXPECT_EQ(model.lastError(), QStringLiteral("Falta la clase."));
    EXPECT_EQ(cds.State(), TDataSetState::dsInsert) << "the pending row is not thrown away";
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(column(cds, QStringLiteral("VAL")).first(), QVariant(1.5));
}

TEST_F(ClassListModel, FollowsChangesMadeThroughTheDataSet) {
    appendRow(cds, {3});
    EXPECT_EQ(model.rowCount(), 3);
    cds.First();
    cds.Delete();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("2"));
    cds.SetIndexFieldNames(QStringLiteral("VAL"));
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("3")) << "null VAL sorts first";
    model.setCurrentRow(1);
    EXPECT_EQ(code->AsInteger(), 2);
    cds.Close();
    EXPECT_EQ(model.rowCount(), 0);
    cds.Open();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(DataSetModel, FollowsTheDataSourceToAnotherDataSet) {
    auto a = dstest::makeTotNomi();
    auto b = dstest::makeTotNomi();
    appendRow(*b, {1});
    appendRow(*b, {2});
    TDataSource source(QStringLiteral("DtsTotNomi"), a.get());
    TDataSetModel model(&source);
    EXPECT_EQ(model.rowCount(), 0);
    source.SetDataSet(b.get());
    EXPECT_EQ(model.rowCount(), 2);
    appendRow(*a, {3});
    EXPECT_EQ(model.rowCount(), 2) << "the former dataset is no longer heard";
}

} // namespace
