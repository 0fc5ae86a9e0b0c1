// The payroll-class and prototype lists: the code checks on field change, before post and in the batch,
// with their messages (a grid edit reaches the same checks through the model); and the lookup buttons:
// when they open the lookup dialog, with which statement, and what an accepted row writes into the list.
#include "FormFixture.h"
#include "SClientDataSet.h"
#include "TApplicationObject.h"
#include "TCaptura.h"
#include "TDtmNmRtgen.h"
#include "TFrmNmRtgen.h"
#include "TRadioGroup.h"
#include "TReportRequest.h"
#include "TVPField.h"
#include "TVestraDBgrid.h"
#include "TVsCmbCodigo.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

const QString kClase = QStringLiteral("Clase de nómina no encontrada...");
const QString kProt = QStringLiteral("Prototipo no encontrado...");

// The message of a refused step, or nothing when it is taken.
QString messageOf(const std::function<void()>& action) {
    const QString message = testsupport::errorOf(action);
    return message == QLatin1String("<sin error>") ? QString() : message;
}

struct CodeRow {
    const char* name;
    const char* list; // "CdsNmTnomi" or "CdsNmTprot"
    const char* codeField;
    const char* nameField;
    int code;
    const char* message; // empty: taken
    const char* filledName;
};

const CodeRow kCodes[] = {
    {"known_class_fills_its_name", "CdsNmTnomi", "COD_TNOM", "NOM_TNOM", 2, "", "MENSUAL"},
    {"unknown_class_is_refused", "CdsNmTnomi", "COD_TNOM", "NOM_TNOM", 99, "Clase de nómina no encontrada...",
     ""},
    {"class_of_another_company_is_refused", "CdsNmTnomi", "COD_TNOM", "NOM_TNOM", 7,
     "Clase de nómina no encontrada...", ""},
    {"known_prototype_fills_its_name", "CdsNmTprot", "COD_PROT", "NOM_PROT", 5, "", "COMISIONES"},
    {"unknown_prototype_is_refused", "CdsNmTprot", "COD_PROT", "NOM_PROT", 4, "Prototipo no encontrado...",
     ""},
    {"prototype_of_another_company_is_refused", "CdsNmTprot", "COD_PROT", "NOM_PROT", 9,
     "Prototipo no encontrado...", ""},
};

TEST(CodeCheck, OnFieldChange) {
    for (const CodeRow& row : kCodes) {
        SCOPED_TRACE(row.name);
        formtest::Form f;
        TDataSet& list = *f.dtm->dataSetByName(QString::fromLatin1(row.list));
        list.Append();
        list.FieldByName(QString::fromLatin1(row.nameField)).SetAsString(QStringLiteral("TYPED BEFORE"));
        const QString message =
            messageOf([&] { list.FieldByName(QString::fromLatin1(row.codeField)).SetAsInteger(row.code); });
        EXPECT_EQ(message, QString::fromUtf8(row.message));
        EXPECT_EQ(list.FieldByName(QString::fromLatin1(row.nameField)).AsString(),
                  QString::fromLatin1(row.filledName));
        if (*row.message) {
            EXPECT_TRUE(list.FieldByName(QString::fromLatin1(row.codeField)).IsNull())
                << "the refused code was taken";
            EXPECT_EQ(list.State(), TDataSetState::dsInsert);
        } else {
            EXPECT_EQ(list.FieldByName(QString::fromLatin1(row.codeField)).AsInteger(), row.code);
        }
    }
}

TEST(CodeCheck, BeforePostRefusesACodeOnlyTheFormerCompanyHas) {
    formtest::Form f;
    TDataSet& classes = *f.dtm->CdsNmTnomi;
    TDataSet& prototypes = *f.dtm->CdsNmTprot;
    classes.Append();
    classes.FieldByName(QStringLiteral("COD_TNOM")).SetAsInteger(1);
    ASSERT_EQ(classes.FieldByName(QStringLiteral("NOM_TNOM")).AsString(), QStringLiteral("QUINCENAL"));

    ASSERT_TRUE(f->cmbEmpresa->setCurrentCode(QStringLiteral("2")));
    f->cmbEmpresaChange();

    EXPECT_EQ(messageOf([&] { classes.Post(); }), kClase);
    EXPECT_EQ(classes.State(), TDataSetState::dsInsert);
    EXPECT_TRUE(classes.FieldByName(QStringLiteral("NOM_TNOM")).IsNull());

    // A company change empties the prototype list (posting a pending row first), so the catalogue is
    // switched underneath a pending row by hand.
    prototypes.Append();
    prototypes.FieldByName(QStringLiteral("COD_PROT")).SetAsInteger(9);
    ASSERT_EQ(prototypes.FieldByName(QStringLiteral("NOM_PROT")).AsString(), QStringLiteral("VARIOS"));
    Application().Tag = 1;
    f->Request().AbrirCatalogos();
    EXPECT_EQ(messageOf([&] { prototypes.Post(); }), kProt);
    EXPECT_TRUE(prototypes.FieldByName(QStringLiteral("NOM_PROT")).IsNull());
}

TEST(CodeCheck, ARowWithoutCodeIsPostedUnchecked) {
    formtest::Form f;
    TDataSet& classes = *f.dtm->CdsNmTnomi;
    classes.Append();
    classes.FieldByName(QStringLiteral("NOM_TNOM")).SetAsString(QStringLiteral("SIN CODIGO"));
    EXPECT_NO_THROW(classes.Post());
    EXPECT_EQ(classes.RecordCount(), 1);
}

TEST(CodeCheck, TheBatchAppendsThroughTheSameChecks) {
    formtest::Form f;
    EXPECT_EQ(messageOf([&] { f->Request().AgregarClase(55); }), kClase);
    EXPECT_EQ(messageOf([&] { f->Request().AgregarPrototipo(55); }), kProt);
    EXPECT_TRUE(f.dtm->CdsNmTnomi->IsEmpty());
    EXPECT_TRUE(f.dtm->CdsNmTprot->IsEmpty());
    EXPECT_EQ(f.dtm->CdsNmTnomi->State(), TDataSetState::dsBrowse);
    f->Request().AgregarClase(2);
    f->Request().AgregarPrototipo(3);
    EXPECT_EQ(f.dtm->CdsNmTnomi->FieldByName(QStringLiteral("NOM_TNOM")).AsString(),
              QStringLiteral("MENSUAL"));
    EXPECT_EQ(f.dtm->CdsNmTprot->FieldByName(QStringLiteral("NOM_PROT")).AsString(),
              QStringLiteral("NOVEDADES"));
}

// Watches for the lookup dialog while a lookup button runs it modally; picks the row whose first column
// holds code, or cancels when code is 0.
class LookupWatcher {
public:
    explicit LookupWatcher(int code) : m_code(code) {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    int opened = 0;

private:
    void poll() {
        auto* dialog = qobject_cast<TCaptura*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        ++opened;
        const QString first = dialog->CdsTmp->Field(0).FieldName();
        if (m_code != 0 && dialog->CdsTmp->Locate(first, {m_code}))
            dialog->BitBtnAceptar->click();
        else
            dialog->BitBtn2->click();
    }
    int m_code;
    QTimer m_timer;
};

// Only a code being typed is looked up: not a list being browsed, nor the name column.
TEST(Lookup, TheClassEllipsisOpensNoDialogOnABrowsedListOrOnTheName) {
    formtest::Form f;
    f->RdgTipRepo->Button(2)->click();
    f->Request().AgregarClase(1);
    LookupWatcher watcher(0);
    ASSERT_TRUE(f->DBGrdClase->SetSelectedField(QStringLiteral("COD_TNOM")));
    f->DBGrdClase->triggerEditButton();
    f.dtm->CdsNmTnomi->Append();
    f->DBGrdClaseEditButtonClick(QStringLiteral("NOM_TNOM"));
    QApplication::processEvents();
    EXPECT_EQ(watcher.opened, 0);
    EXPECT_TRUE(f->VPFieldCodTnom->SQL.isEmpty());
}

// A cancelled lookup leaves the row as it was; an accepted one fills code and name.
TEST(Lookup, TheClassRowTakesTheAcceptedRowOnly) {
    formtest::Form f;
    f->show();
    f->RdgTipRepo->Button(0)->click();
    f.dtm->CdsNmTnomi->Append();
    {
        LookupWatcher cancel(0);
        f->VPFieldCodTnom->click();
        EXPECT_EQ(cancel.opened, 1);
    }
    EXPECT_TRUE(f.dtm->CdsNmTnomi->FieldByName(QStringLiteral("COD_TNOM")).IsNull());
    EXPECT_EQ(f.dtm->CdsNmTnomi->State(), TDataSetState::dsInsert);
    LookupWatcher watcher(2);
    ASSERT_TRUE(f->DBGrdClase->SetSelectedField(QStringLiteral("COD_TNOM")));
    f->DBGrdClase->triggerEditButton();
    EXPECT_EQ(watcher.opened, 1);
    EXPECT_EQ(
        f->VPFieldCodTnom->SQL,
        QStringList{QStringLiteral(" SELECT COD_TNOM, NOM_TNOM  FROM NM_TNOMI  WHERE (COD_EMPR = 1) ")});
    EXPECT_EQ(f.dtm->CdsNmTnomi->FieldByName(QStringLiteral("COD_TNOM")).AsInteger(), 2);
    EXPECT_EQ(f.dtm->CdsNmTnomi->FieldByName(QStringLiteral("NOM_TNOM")).AsString(),
              QStringLiteral("MENSUAL"));
}

TEST(Lookup, AnyColumnOfThePrototypeGridOpensThePrototypeLookup) {
    formtest::Form f;
    f->show();
    f->RdgTipRepo->Button(5)->click();
    f.dtm->CdsNmTprot->Append();
    LookupWatcher watcher(5);
    ASSERT_TRUE(f->DBGrdPrototipo->SetSelectedField(QStringLiteral("NOM_PROT")));
    f->DBGrdPrototipoEditButtonClick();
    EXPECT_EQ(watcher.opened, 1);
    EXPECT_EQ(f->VPFldPrototipo->SQL, (QStringList{QStringLiteral("SELECT COD_PROT ,NOM_PROT FROM NM_TPROT"),
                                                   QStringLiteral("WHERE COD_EMPR = 1")}));
    EXPECT_EQ(f.dtm->CdsNmTprot->FieldByName(QStringLiteral("COD_PROT")).AsInteger(), 5);
    EXPECT_EQ(f.dtm->CdsNmTprot->FieldByName(QStringLiteral("NOM_PROT")).AsString(),
              QStringLiteral("COMISIONES"));
}

} // namespace
