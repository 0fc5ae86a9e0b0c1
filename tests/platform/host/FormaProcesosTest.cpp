#include "GeneralError.h"
#include "HostFixture.h"
#include "TApplicationObject.h"
#include "TFrmFormaProcesos.h"
#include "TVNotas.h"
#include "TVsCmbCodigo.h"
#include "Ugnproce.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using hostfixture::MessageRecorder;

namespace {

// A process form as the module derives one: it extends the company change.
class FormaDerivada : public TFrmFormaProcesos {
public:
    void cmbEmpresaChange() override {
        TFrmFormaProcesos::cmbEmpresaChange();
        changes << Application().Tag;
    }
    QList<int> changes;
};

class FormaProcesosTest : public ::testing::Test {
protected:
    void SetUp() override {
        using namespace Ugnproce;
        gStProtocolo = QStringLiteral("sqlite");
        gStParSrv = hostfixture::databasePath();
        gStAliasCnx.clear();
        gStParUsu = QStringLiteral("ADMIN");
        gStParPas.clear();
        gStParEmp = QStringLiteral("2");
        Application().Tag = 0;
    }
    void TearDown() override { TFrmFormaProcesos::previewAssigner() = nullptr; }

    static QString nombreEmpresa(const TFrmFormaProcesos& form) {
        return form.CdsGnEmpre->FieldByName(QStringLiteral("NOM_EMPR")).AsString();
    }
};

TEST_F(FormaProcesosTest, FormCreateListsTheCompaniesAndSelectsTheLoadsOne) {
    FormaDerivada form;
    form.FormCreate();
    QStringList items;
    for (int i = 0; i < form.cmbEmpresa->count(); ++i)
        items << form.cmbEmpresa->itemText(i);
    EXPECT_EQ(items, (QStringList{QStringLiteral("1 - Transportes Andinos S.A."),
                                  QStringLiteral("2 - Servicios Temporales Ñandú Ltda."),
                                  QStringLiteral("5 - Comercializadora del Café")}));
    EXPECT_EQ(form.cmbEmpresa->currentCode(), QStringLiteral("2"));
    EXPECT_EQ(Application().Tag, 2);
    EXPECT_EQ(form.changes, QList<int>{2});
    ASSERT_EQ(form.CdsGnEmpre->RecordCount(), 1);
    EXPECT_EQ(nombreEmpresa(form), QStringLiteral("Servicios Temporales Ñandú Ltda."));
    EXPECT_TRUE(form.CdsGnEmpre->FieldByName(QStringLiteral("BMP_REPO")).IsNull());
}

TEST_F(FormaProcesosTest, AnUnknownCompanyFallsBackToTheFirst) {
    Ugnproce::gStParEmp = QStringLiteral("77");
    FormaDerivada form;
    form.FormCreate();
    EXPECT_EQ(form.cmbEmpresa->currentCode(), QStringLiteral("1"));
    EXPECT_EQ(Application().Tag, 1);
    EXPECT_EQ(nombreEmpresa(form), QStringLiteral("Transportes Andinos S.A."));
    EXPECT_FALSE(form.CdsGnEmpre->FieldByName(QStringLiteral("BMP_REPO")).AsBytes().isEmpty());
    EXPECT_FALSE(form.ImgVestra->pixmap().isNull());
}

TEST_F(FormaProcesosTest, ChoosingACompanyMakesItCurrent) {
    FormaDerivada form;
    form.show();
    form.FormCreate();
    form.cmbEmpresa->setFocus();
    QTest::keyClick(form.cmbEmpresa, Qt::Key_Down);
    EXPECT_EQ(form.cmbEmpresa->currentCode(), QStringLiteral("5"));
    EXPECT_EQ(Application().Tag, 5);
    EXPECT_EQ(nombreEmpresa(form), QStringLiteral("Comercializadora del Café"));
    EXPECT_EQ(form.CdsGnEmpre->RecordCount(), 1) << "the row of the new company replaces the former";
    EXPECT_EQ(form.changes, (QList<int>{2, 5}));
}

TEST_F(FormaProcesosTest, AConnectionThatCannotOpenIsAnError) {
    Ugnproce::gStParSrv = hostfixture::databasePath() + QStringLiteral(".no-existe");
    FormaDerivada form;
    EXPECT_THROW(form.FormCreate(), GeneralError);
    EXPECT_TRUE(form.changes.isEmpty());
}

TEST_F(FormaProcesosTest, PreviewAssignmentReachesTheListedModulesUpToTheLastIndex) {
    QObject first, second;
    QList<QObject*> seen;
    TFrmFormaProcesos::previewAssigner() = [&](QObject* module) { seen << module; };
    TFrmFormaProcesos form;
    form.DwAsignarRptPreview({&first, &second}, 0);
    EXPECT_EQ(seen, QList<QObject*>{&first});
    form.DwAsignarRptPreview({&first, &second}, 1);
    EXPECT_EQ(seen, (QList<QObject*>{&first, &first, &second}));
}

TEST_F(FormaProcesosTest, AcceptAndItsErrorsAreHandledByTheFrame) {
    MessageRecorder messages;
    TFrmFormaProcesos form;
    form.setWindowTitle(QStringLiteral("Reportes Gerenciales"));
    QSignalSpy spy(&form, &TFrmFormaProcesos::acceptRequested);
    QObject::connect(&form, &TFrmFormaProcesos::acceptRequested, [] {
        throw GeneralError(QStringLiteral("Fecha inicial inválida, revise por favor..."));
    });
    form.show();
    QTest::mouseClick(form.BitBtnAcepta, Qt::LeftButton);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Fecha inicial inválida, revise por favor...")});
}

} // namespace
