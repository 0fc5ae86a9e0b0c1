// The state machine, the cursor and the dataset events.
#include "DataSetTestSupport.h"

#include <functional>

using dstest::appendRow;
using dstest::column;
using testsupport::errorOf;

namespace {

const QString kNotOpen = QStringLiteral("El conjunto de datos CdsTotNomi no está abierto.");
const QString kNotEditing = QStringLiteral("El conjunto de datos CdsTotNomi no está en modo de edición o inserción.");

struct RefusedOperation {
    const char* name;
    bool open; // whether the dataset is open (in browse state, with one record) when it runs
    std::function<void(TDataSet&)> run;
    QString message;
};

TEST(DataSetState, RefusedOperationsFailWithTheirMessage) {
    const RefusedOperation cases[] = {
        {"NextWhenClosed", false, [](TDataSet& d) { d.Next(); }, kNotOpen},
        {"FirstWhenClosed", false, [](TDataSet& d) { d.First(); }, kNotOpen},
        {"AppendWhenClosed", false, [](TDataSet& d) { d.Append(); }, kNotOpen},
        {"EditWhenClosed", false, [](TDataSet& d) { d.Edit(); }, kNotOpen},
        {"DeleteWhenClosed", false, [](TDataSet& d) { d.Delete(); }, kNotOpen},
        {"EmptyWhenClosed", false, [](TDataSet& d) { d.EmptyDataSet(); }, kNotOpen},
        {"LocateWhenClosed", false, [](TDataSet& d) { d.Locate(QStringLiteral("COD_CCOS"), {1}); }, kNotOpen},
        {"FieldReadWhenClosed", false,
         [](TDataSet& d) { d.FieldByName(QStringLiteral("COD_CCOS")).AsInteger(); }, kNotOpen},
        {"FieldWriteWhenClosed", false, [](TDataSet& d) { d.Field(0).SetAsInteger(1); }, kNotOpen},
        {"PostInBrowse", true, [](TDataSet& d) { d.Post(); }, kNotEditing},
        {"CancelInBrowse", true, [](TDataSet& d) { d.Cancel(); }, kNotEditing},
        {"FieldWriteInBrowse", true, [](TDataSet& d) { d.Field(4).SetAsFloat(1.5); }, kNotEditing},
        {"AddFieldWhenOpen", true,
         [](TDataSet& d) { d.AddField(QStringLiteral("X"), TFieldType::ftInteger); },
         QStringLiteral(
             "No se pueden cambiar los campos del conjunto de datos CdsTotNomi mientras está abierto.")},
        {"UnknownFieldName", true, [](TDataSet& d) { d.FieldByName(QStringLiteral("NADA")); },
         QStringLiteral("Campo 'NADA' no encontrado en CdsTotNomi.")},
    };
    for (const RefusedOperation& c : cases) {
        SCOPED_TRACE(c.name);
        auto ds = dstest::makeTotNomi();
        appendRow(*ds, {1, QStringLiteral("ADMINISTRACION")});
        if (!c.open)
            ds->Close();
        EXPECT_EQ(errorOf([&] { c.run(*ds); }), c.message) << c.name;
        EXPECT_EQ(ds->State(), c.open ? TDataSetState::dsBrowse : TDataSetState::dsInactive) << c.name;
    }
}

TEST(DataSetState, CancelUndoesAnEditAndRemovesAnAppend) {
    auto ds = dstest::makeTotNomi();
    appendRow(*ds, {1, QStringLiteral("A"), 1, QStringLiteral("X"), 10.0});
    appendRow(*ds, {2, QStringLiteral("B"), 1, QStringLiteral("X"), 20.0});
    ds->First();
    ds->Edit();
    ds->FieldByName(QStringLiteral("VAL_ACUM")).SetAsFloat(99);
    ds->Cancel();
    EXPECT_EQ(ds->FieldByName(QStringLiteral("VAL_ACUM")).AsFloat(), 10.0);

    ds->Append();
    ds->FieldByName(QStringLiteral("COD_CCOS")).SetAsInteger(3);
    EXPECT_EQ(ds->RecordCount(), 3);
    ds->Cancel();
    EXPECT_EQ(ds->RecordCount(), 2);
    EXPECT_EQ(ds->RecNo(), 1) << "back on the record that was current before Append";
    EXPECT_EQ(column(*ds, QStringLiteral("COD_CCOS")), (QVariantList{1, 2}));
}

TEST(DataSetState, InsertGoesBeforeTheCurrentRecordAndEditOnNothingAppends) {
    auto ds = dstest::makeTotNomi();
    ds->Edit();
    EXPECT_EQ(ds->State(), TDataSetState::dsInsert);
    ds->Field(0).SetAsInteger(1);
    ds->Post();
    appendRow(*ds, {3});
    ds->Last();
    ds->Insert();
    ds->Field(0).SetAsInteger(2);
    ds->Post();
    EXPECT_EQ(column(*ds, QStringLiteral("COD_CCOS")), (QVariantList{1, 2, 3}));
    EXPECT_EQ(ds->RecNo(), 2);
}

// A refused post, by a required field or by BeforePost, keeps the record being edited.
TEST(DataSetState, RefusedPostKeepsTheRecordBeingEdited) {
    auto ds = dstest::makeTotNomi();
    ds->FieldByName(QStringLiteral("COD_TNOM")).SetRequired(true);
    ds->Append();
    EXPECT_EQ(testsupport::errorOf([&] { ds->Post(); }),
              QStringLiteral("El campo 'COD_TNOM' debe tener un valor."));
    EXPECT_EQ(ds->State(), TDataSetState::dsInsert);
    ds->Cancel();

    ds->BeforePost = [](TDataSet& d) {
        if (d.FieldByName(QStringLiteral("COD_TNOM")).AsInteger() == 99) {
            d.FieldByName(QStringLiteral("NOM_TNOM")).Clear();
            throw GeneralError(QStringLiteral("Clase de nómina no encontrada..."));
        }
    };
    ds->Append();
    ds->FieldByName(QStringLiteral("COD_CCOS")).SetAsInteger(4);
    ds->FieldByName(QStringLiteral("COD_TNOM")).SetAsInteger(99);
    ds->FieldByName(QStringLiteral("NOM_TNOM")).SetAsString(QStringLiteral("VIEJO"));
    EXPECT_EQ(errorOf([&] { ds->Post(); }), QStringLiteral("Clase de nómina no encontrada..."));
    EXPECT_EQ(ds->State(), TDataSetState::dsInsert);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("COD_CCOS")).AsInteger(), 4);
    EXPECT_TRUE(ds->FieldByName(QStringLiteral("NOM_TNOM")).IsNull());

    ds->FieldByName(QStringLiteral("COD_TNOM")).SetAsInteger(1);
    ds->Post();
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(column(*ds, QStringLiteral("COD_TNOM")), (QVariantList{1}));
}

TEST(DataSetState, MovingOrClosingPostsThePendingRecord) {
    auto ds = dstest::makeTotNomi();
    appendRow(*ds, {1});
    ds->Append();
    ds->Field(0).SetAsInteger(2);
    ds->First();
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(column(*ds, QStringLiteral("COD_CCOS")), (QVariantList{1, 2}));

    ds->Edit();
    ds->Field(4).SetAsFloat(7.5);
    ds->EmptyDataSet();
    EXPECT_TRUE(ds->Active());
    EXPECT_TRUE(ds->IsEmpty());

    int posts = 0;
    ds->AfterPost = [&](TDataSet&) { ++posts; };
    ds->Append();
    ds->Field(0).SetAsInteger(5);
    ds->Close();
    EXPECT_EQ(posts, 1);
}

struct WalkCase {
    const char* name;
    int records;
};

TEST(DataSetCursor, WalkVisitsEachRecordOnceAndStopsOnTheLast) {
    const WalkCase cases[] = {
        {"Empty", 0},
        {"One", 1},
        {"Three", 3},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<QVariantList> rows;
        for (int i = 1; i <= c.records; ++i)
            rows.push_back({i});
        auto ds = std::make_unique<dstest::FixedDataSet>(QStringLiteral("QryNumeros"), rows);
        ds->AddField(QStringLiteral("N"), TFieldType::ftInteger);
        ds->Open();
        EXPECT_TRUE(ds->Bof());
        EXPECT_EQ(ds->Eof(), c.records == 0);

        QVariantList seen;
        ds->First();
        while (!ds->Eof()) {
            seen.push_back(ds->Field(0).AsInteger());
            ds->Next();
        }
        QVariantList expected;
        for (int i = 1; i <= c.records; ++i)
            expected.push_back(i);
        EXPECT_EQ(seen, expected);
        EXPECT_EQ(ds->RecNo(), c.records) << "Next past the end stays on the last record";
        EXPECT_EQ(ds->Bof(), c.records == 0) << "a forward move leaves the beginning";

        ds->Last();
        while (!ds->Bof())
            ds->Prior();
        EXPECT_EQ(ds->RecNo(), c.records == 0 ? 0 : 1);
    }
}

TEST(DataSetCursor, MoveByReportsHowFarItWent) {
    auto ds = dstest::makeTotNomi();
    for (int i = 1; i <= 5; ++i)
        appendRow(*ds, {i});
    ds->First();
    EXPECT_EQ(ds->MoveBy(3), 3);
    EXPECT_EQ(ds->RecNo(), 4);
    EXPECT_EQ(ds->MoveBy(10), 1);
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->MoveBy(-10), -4);
    EXPECT_TRUE(ds->Bof());
    ds->SetRecNo(3);
    EXPECT_EQ(ds->Field(0).AsInteger(), 3);
}

TEST(DataSetCursor, DeleteLeavesTheCursorOnTheFollowingRecord) {
    auto ds = dstest::makeTotNomi();
    for (int i = 1; i <= 3; ++i)
        appendRow(*ds, {i});
    ds->SetRecNo(2);
    ds->Delete();
    EXPECT_EQ(ds->Field(0).AsInteger(), 3);
    ds->Delete();
    EXPECT_EQ(ds->Field(0).AsInteger(), 1) << "after the last record, the new last one";
    ds->Delete();
    EXPECT_TRUE(ds->IsEmpty());
    EXPECT_TRUE(ds->Eof());
    EXPECT_TRUE(ds->Bof());
    EXPECT_EQ(errorOf([&] { ds->Delete(); }),
              QStringLiteral("No se puede eliminar: el conjunto de datos CdsTotNomi está vacío."));
}

TEST(DataSetEvents, AfterScrollRunsOnlyWhenTheCurrentRecordChanges) {
    auto ds = std::make_unique<dstest::FixedDataSet>(QStringLiteral("QryNumeros"), std::vector<QVariantList>{{1, QVariant()}, {2, QVariant()}, {3, QVariant()}});
    ds->AddField(QStringLiteral("N"), TFieldType::ftInteger);
    ds->AddField(QStringLiteral("V"), TFieldType::ftFloat);
    QList<int> scrolled;
    int opened = 0;
    ds->AfterOpen = [&](TDataSet&) { ++opened; };
    ds->AfterScroll = [&](TDataSet& d) { scrolled.push_back(d.RecordCount() ? d.Field(0).AsInteger() : 0); };
    ds->Open();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(scrolled, (QList<int>{1}));
    ds->First();
    ds->Next();
    ds->Next();
    ds->Next(); // at the end: no move
    ds->Locate(QStringLiteral("N"), {3});
    EXPECT_EQ(scrolled, (QList<int>{1, 2, 3}));
    ds->Edit();
    ds->Field(1).SetAsFloat(1);
    ds->Post();
    EXPECT_EQ(scrolled, (QList<int>{1, 2, 3})) << "a post stays on its record";
    ds->Prior();
    EXPECT_EQ(scrolled, (QList<int>{1, 2, 3, 2}));
    ds->Close();
    ds->Open();
    EXPECT_EQ(scrolled, (QList<int>{1, 2, 3, 2, 1})) << "every open shows its first record";
    EXPECT_EQ(opened, 2);
}

TEST(DataSetEvents, OpenRefusesRecordsOfTheWrongWidth) {
    dstest::FixedDataSet ds(QStringLiteral("QryNumeros"), {{1, 2.0}, {3}});
    ds.AddField(QStringLiteral("N"), TFieldType::ftInteger);
    ds.AddField(QStringLiteral("V"), TFieldType::ftFloat);
    EXPECT_EQ(errorOf([&] { ds.Open(); }),
              QStringLiteral("El conjunto de datos QryNumeros recibió un registro de 1 valores para 2 campos."));
    EXPECT_FALSE(ds.Active());
}

TEST(DataSetEvents, OnNewRecordFillsDefaultsAndAFailureDropsTheRecord) {
    auto ds = dstest::makeTotNomi();
    ds->OnNewRecord = [](TDataSet& d) {
        EXPECT_EQ(d.State(), TDataSetState::dsInsert);
        d.FieldByName(QStringLiteral("VAL_ACUM")).SetAsFloat(0);
    };
    ds->Append();
    EXPECT_FALSE(ds->FieldByName(QStringLiteral("VAL_ACUM")).IsNull());
    ds->Post();
    ds->OnNewRecord = [](TDataSet&) { throw GeneralError(QStringLiteral("sin registro")); };
    EXPECT_EQ(errorOf([&] { ds->Append(); }), QStringLiteral("sin registro"));
    EXPECT_EQ(ds->RecordCount(), 1);
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
}

TEST(DataSetSignals, GridsHearOfChangesButNotWhileControlsAreDisabled) {
    auto ds = dstest::makeTotNomi();
    int resets = 0, changes = 0, states = 0;
    QObject::connect(ds.get(), &TDataSet::dataReset, [&] { ++resets; });
    QObject::connect(ds.get(), &TDataSet::recordChanged, [&](int) { ++changes; });
    QObject::connect(ds.get(), &TDataSet::stateChanged, [&] { ++states; });
    appendRow(*ds, {1});
    EXPECT_GT(changes, 0);
    EXPECT_EQ(states, 2) << "browse to insert and back";
    ds->EmptyDataSet();
    EXPECT_EQ(resets, 1);

    resets = changes = states = 0;
    ds->DisableControls();
    for (int i = 0; i < 10; ++i)
        appendRow(*ds, {i});
    EXPECT_EQ(resets + changes + states, 0);
    ds->EnableControls();
    EXPECT_EQ(resets, 1);
    EXPECT_FALSE(ds->ControlsDisabled());
}

} // namespace
