// The reshaping of the form per report type: every type's row of the state table, "none chosen", and
// the start date of "Gestión Humana", on the real form over the fixture database.
#include "FormFixture.h"
#include "HostFixture.h"
#include "TDataSetModel.h"
#include "TDtmNmRtgen.h"
#include "TFrmNmRtgen.h"
#include "TRadioGroup.h"
#include "TReportRequest.h"
#include "TVNavegador.h"
#include "TVestraDBgrid.h"
#include "TVsCmbCodigo.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

const QString kLblClases = QStringLiteral("Clases de Nómina Cuenta Nómina Administración");
const QString kLblNovedades = QStringLiteral("Cuentas para Conciliaciones por Novedades");

enum Classes { Enabled, EnabledNavOff, DisabledEmptied, Unchanged };

struct StateRow {
    const char* name;
    int type;
    bool kinds;
    bool prototypes;
    Classes classes;
    bool account;
    bool noveltyGrid;
    const char* startDate; // with start 10/03/2026 and end 15/03/2026 typed before the choice
};

const StateRow kStates[] = {
    {"Conciliacion_de_Nomina", 0, true, true, Enabled, true, false, "10/03/2026"},
    {"Requisicion_de_Personal", 1, false, false, DisabledEmptied, false, false, "10/03/2026"},
    {"Ingresos_Retiros_Planta_Vacaciones", 2, false, false, Enabled, false, false, "10/03/2026"},
    {"Conciliacion_de_Novedades", 3, true, false, EnabledNavOff, false, true, "10/03/2026"},
    {"Valor_Nomina_Centro_de_Costos", 4, false, false, DisabledEmptied, false, false, "10/03/2026"},
    {"Comisiones_Conductores", 5, false, true, DisabledEmptied, false, false, "10/03/2026"},
    {"Factura_Empresa_Usuaria", 6, true, true, DisabledEmptied, false, false, "10/03/2026"},
    {"Temporales", 7, false, false, DisabledEmptied, false, false, "10/03/2026"},
    {"Parafiscales", 8, false, false, DisabledEmptied, false, false, "10/03/2026"},
    {"Consolidado_Vacaciones", 9, false, false, DisabledEmptied, false, false, "10/03/2026"},
    {"Gestion_Humana", 10, true, false, DisabledEmptied, false, false, "01/01/2026"},
    {"Ninguno_elegido", -1, false, false, Unchanged, false, false, "10/03/2026"},
};

// Everything a choice may reset is set beforehand: a class, a prototype, the kinds, an account text.
void fillInputs(formtest::Form& f) {
    f->EdtFecInic->setText(QStringLiteral("10/03/2026"));
    f->EdtFecFina->setText(QStringLiteral("15/03/2026"));
    f->Request().AgregarClase(1);
    f->Request().AgregarPrototipo(3);
    for (QCheckBox* c : f->ChkTipNom())
        c->setChecked(true);
    f->EdtCodCuen->setText(QStringLiteral("110505"));
}

void choose(formtest::Form& f, int type) {
    if (type >= 0)
        f->RdgTipRepo->Button(type)->click();
    else
        f->cmbEmpresaChange(); // a company change before any type was chosen
}

TEST(FormState, EveryTypeLeavesTheStateOfItsRow) {
    for (const StateRow& row : kStates) {
        SCOPED_TRACE(row.name);
        hostfixture::MessageRecorder log;
        formtest::Form f;
        fillInputs(f);
        const bool classGridBefore = f->DBGrdClase->isEnabled();

        choose(f, row.type);

        EXPECT_EQ(log.texts(), QStringList());
        EXPECT_EQ(f->RdgTipRepo->ItemIndex(), row.type);
        for (QCheckBox* c : f->ChkTipNom()) {
            EXPECT_EQ(c->isEnabled(), row.kinds) << c->objectName().toStdString();
            EXPECT_FALSE(c->isChecked()) << c->objectName().toStdString();
        }
        EXPECT_TRUE(f->Request().LetrasNomina().isEmpty());

        EXPECT_EQ(f->DBGrdPrototipo->isEnabled(), row.prototypes);
        EXPECT_EQ(f->VNavPrototipo->isEnabled(), row.prototypes);
        EXPECT_EQ(f->Label2->isEnabled(), row.prototypes);
        EXPECT_TRUE(f.dtm->CdsNmTprot->IsEmpty());

        switch (row.classes) {
        case Enabled:
            EXPECT_TRUE(f->DBGrdClase->isEnabled());
            EXPECT_TRUE(f->VNavTnomi->isEnabled());
            EXPECT_EQ(f.dtm->CdsNmTnomi->RecordCount(), 1);
            break;
        case EnabledNavOff:
            EXPECT_TRUE(f->DBGrdClase->isEnabled());
            EXPECT_FALSE(f->VNavTnomi->isEnabled());
            EXPECT_EQ(f.dtm->CdsNmTnomi->RecordCount(), 1);
            break;
        case DisabledEmptied:
            EXPECT_FALSE(f->DBGrdClase->isEnabled());
            EXPECT_FALSE(f->VNavTnomi->isEnabled());
            EXPECT_TRUE(f.dtm->CdsNmTnomi->IsEmpty());
            break;
        case Unchanged:
            EXPECT_EQ(f->DBGrdClase->isEnabled(), classGridBefore);
            EXPECT_EQ(f.dtm->CdsNmTnomi->RecordCount(), 1);
            break;
        }
        EXPECT_TRUE(f->VNavTnomi->isVisibleTo(f.frm.get()));

        EXPECT_EQ(f->LblCodCuen->isEnabled(), row.account);
        EXPECT_EQ(f->EdtCodCuen->isEnabled(), row.account);
        EXPECT_EQ(f->EdtCodCuen->text(), QString());
        EXPECT_EQ(f->EdtCodCuen->palette().color(QPalette::Base),
                  row.account ? QColor(0xFF, 0xFF, 0xFF) : QColor(0xE9, 0xE9, 0xE9));

        EXPECT_EQ(f->DBGrdCueNove->isVisibleTo(f.frm.get()), row.noveltyGrid);
        EXPECT_EQ(f->DBGrdClase->isVisibleTo(f.frm.get()), !row.noveltyGrid);
        EXPECT_EQ(f->LblTnomi->text(), row.noveltyGrid ? kLblNovedades : kLblClases);
        if (row.noveltyGrid) {
            // The accounts of the novelty reconciliation: the company's NM_PRTGE rows of kind CN only.
            EXPECT_EQ(f->DBGrdCueNove->model()->rowCount(), 2);
            EXPECT_EQ(f.dtm->QryNmPrtgeCn->FieldByName(QStringLiteral("TIP_PARA")).AsString(),
                      QStringLiteral("CN"));
        }

        EXPECT_EQ(f->EdtFecInic->text(), QString::fromLatin1(row.startDate));
        EXPECT_EQ(f->Request().FecInic, QString::fromLatin1(row.startDate));
        EXPECT_EQ(f->EdtFecFina->text(), QStringLiteral("15/03/2026"));
    }
}

TEST(FormState, StartsAsNoTypeChosenWithTheCurrentMonth) {
    formtest::Form f;
    EXPECT_EQ(f->RdgTipRepo->ItemIndex(), -1);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(f->EdtFecInic->text(),
              QDate(today.year(), today.month(), 1).toString(QStringLiteral("dd/MM/yyyy")));
    EXPECT_EQ(f->EdtFecFina->text(),
              QDate(today.year(), today.month(), today.daysInMonth()).toString(QStringLiteral("dd/MM/yyyy")));
    EXPECT_FALSE(f->RdgOriDato->isVisibleTo(f.frm.get()));
    EXPECT_EQ(f->RdgOriDato->ItemIndex(), 0);
}

// Mid March (a row of the table above) starts in January; the start may fall in the year before.
TEST(FormState, HumanManagementCoversThreeCalendarMonths) {
    const std::pair<const char*, const char*> ends[] = {
        {"28/02/2026", "01/12/2025"}, {"31/01/2026", "01/11/2025"}, {"31/12/2026", "01/10/2026"}};
    for (const auto& [end, start] : ends) {
        formtest::Form f;
        f->EdtFecFina->setText(QString::fromLatin1(end));
        f->RdgTipRepo->Button(10)->click();
        EXPECT_EQ(f->EdtFecInic->text(), QString::fromLatin1(start)) << end;
    }
}

TEST(FormState, HumanManagementWithAnInvalidEndDateRaisesTheConversionError) {
    hostfixture::MessageRecorder log;
    formtest::Form f;
    f->Request().AgregarClase(1);
    f->ChkTipNomN->setChecked(true);
    f->EdtFecInic->setText(QStringLiteral("10/03/2026"));
    f->EdtFecFina->setText(QStringLiteral("30/02/2026"));
    f->RdgTipRepo->Button(10)->click();
    ASSERT_EQ(log.texts(), QStringList{QStringLiteral("'30/02/2026' no es una fecha válida.")});
    // The steps before the start date still ran; the start date stays.
    EXPECT_FALSE(f->ChkTipNomN->isChecked());
    EXPECT_TRUE(f.dtm->CdsNmTnomi->IsEmpty());
    EXPECT_EQ(f->EdtFecInic->text(), QStringLiteral("10/03/2026"));
}

TEST(FormState, LeavingTheNoveltyReconciliationBringsTheClassGridBack) {
    formtest::Form f;
    f->RdgTipRepo->Button(3)->click();
    ASSERT_TRUE(f->DBGrdCueNove->isVisibleTo(f.frm.get()));
    f->RdgTipRepo->Button(2)->click();
    EXPECT_FALSE(f->DBGrdCueNove->isVisibleTo(f.frm.get()));
    EXPECT_TRUE(f->DBGrdClase->isVisibleTo(f.frm.get()));
    EXPECT_TRUE(f->VNavTnomi->isEnabled());
    EXPECT_EQ(f->LblTnomi->text(), kLblClases);
}

TEST(FormState, ACompanyChangeWithTheReconciliationChosenEmptiesPrototypesAndAccount) {
    formtest::Form f;
    f->RdgTipRepo->Button(0)->click();
    f->Request().AgregarPrototipo(5);
    f->EdtCodCuen->setText(QStringLiteral("250505"));
    ASSERT_TRUE(f->cmbEmpresa->setCurrentCode(QStringLiteral("2")));
    f->cmbEmpresaChange();
    EXPECT_TRUE(f.dtm->CdsNmTprot->IsEmpty());
    EXPECT_EQ(f->EdtCodCuen->text(), QString());
    EXPECT_TRUE(f->EdtCodCuen->isEnabled());
    // The catalogues now follow company 2.
    EXPECT_EQ(f.dtm->QryNmTnomi->RecordCount(), 1);
    EXPECT_EQ(f.dtm->QryNmTprot->RecordCount(), 1);
}

} // namespace
