// The load and unload steps behind the C entries: what a load leaves in the host globals, the objects it
// creates and their order of destruction, a failed load, and loads and unloads out of turn.
#include "FormFixture.h"
#include "PluginLifetime.h"
#include "TestSupport.h"
#include "TApplicationObject.h"
#include "TCaptura.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TFrmNmRtgen.h"
#include "TVsCmbCodigo.h"
#include "Ugnproce.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>

namespace {

TLoadArguments fixtureArguments(const QString& parameters = QString(), const QString& version = QString()) {
    return {QStringLiteral("sqlite"),
            QStringLiteral("DBVestra"),
            formtest::databasePath(),
            QStringLiteral("admin"),
            QStringLiteral("secreto"),
            QStringLiteral("2"),
            parameters,
            version};
}

class Load : public ::testing::Test {
protected:
    void TearDown() override { VNmRtgenLib::Descargar(); }
};

TEST_F(Load, FillsTheHostGlobals) {
    using namespace Ugnproce;
    gSlParams.reset();
    const uint32_t id = VNmRtgenLib::Cargar(fixtureArguments(
        QStringLiteral("LOTE \"AND COD_CCOS = 4\" RAPIDO"), QStringLiteral("8.2.1;2026-03-15")));
    EXPECT_NE(id, 0u);
    EXPECT_EQ((QStringList{gStProtocolo, gStAliasCnx, gStParSrv, gStParUsu, gStParPas, gStParEmp, gStParHpv,
                           gStNombProg}),
              (QStringList{"sqlite", "DBVestra", formtest::databasePath(), "admin", "secreto", "2",
                           "AND COD_CCOS = 4", "VNmRtgen"}));
    ASSERT_NE(gSlParams, nullptr);
    EXPECT_EQ(*gSlParams, (QStringList{"LOTE", "RAPIDO"}));

    // A blank parameter line is kept as given and not parsed.
    VNmRtgenLib::Descargar();
    gSlParams.reset();
    VNmRtgenLib::Cargar(fixtureArguments(QStringLiteral("  \t "), QStringLiteral("8.2.1")));
    EXPECT_EQ(gSlParams, nullptr);
    EXPECT_EQ(gStParHpv, QStringLiteral("  \t "));
}

TEST_F(Load, CreatesTheFourObjectsAndStartsOnTheLoadsCompany) {
    const uint32_t id = VNmRtgenLib::Cargar(fixtureArguments());
    ASSERT_NE(VNmRtgenLib::FrmNmRtgen, nullptr);
    EXPECT_EQ(static_cast<uint32_t>(VNmRtgenLib::FrmNmRtgen->winId()), id);
    EXPECT_EQ(VNmRtgenLib::FormaActiva, VNmRtgenLib::FrmNmRtgen);
    EXPECT_EQ(VNmRtgenLib::DtmNmRtgen->parent(), &Application());
    EXPECT_EQ(VNmRtgenLib::DtmNmRtrep->parent(), &Application());
    EXPECT_EQ(Application().Tag, 2);
    EXPECT_EQ(VNmRtgenLib::FrmNmRtgen->cmbEmpresa->currentCode(), QStringLiteral("2"));
    EXPECT_EQ(VNmRtgenLib::DtmNmRtgen->QryNmTnomi->RecordCount(), 1);
    // The form is not shown or placed by the load.
    EXPECT_FALSE(VNmRtgenLib::FrmNmRtgen->isVisible());
}

TEST_F(Load, ASecondLoadReturnsTheExistingFormAndChangesNothing) {
    const uint32_t first = VNmRtgenLib::Cargar(fixtureArguments());
    TFrmNmRtgen* form = VNmRtgenLib::FrmNmRtgen;
    TLoadArguments other = fixtureArguments();
    other.empresa = QStringLiteral("1");
    EXPECT_EQ(VNmRtgenLib::Cargar(other), first);
    EXPECT_EQ(VNmRtgenLib::FrmNmRtgen, form);
    EXPECT_EQ(Ugnproce::gStParEmp, QStringLiteral("2"));
}

TEST_F(Load, UnloadDestroysEverythingAndMayRunTwice) {
    VNmRtgenLib::Cargar(fixtureArguments());
    QPointer<QWidget> form = VNmRtgenLib::FrmNmRtgen;
    QPointer<QObject> dtm = VNmRtgenLib::DtmNmRtgen;
    QPointer<QObject> rep = VNmRtgenLib::DtmNmRtrep;
    QPointer<QWidget> captura = &Captura();
    VNmRtgenLib::Descargar();
    EXPECT_TRUE(form.isNull());
    EXPECT_TRUE(dtm.isNull());
    EXPECT_TRUE(rep.isNull());
    EXPECT_TRUE(captura.isNull());
    EXPECT_FALSE(VNmRtgenLib::Cargado());
    EXPECT_EQ(VNmRtgenLib::FormaActiva, nullptr);
    EXPECT_NO_THROW(VNmRtgenLib::Descargar());
    // The globals outlive the objects.
    EXPECT_EQ(Ugnproce::gStParEmp, QStringLiteral("2"));
}

TEST_F(Load, AFailedLoadLeavesNothingBehindAndALaterLoadWorks) {
    TLoadArguments bad = fixtureArguments();
    bad.servidor = QStringLiteral("/nonexistent/dir/none.sqlite");
    EXPECT_ANY_THROW(VNmRtgenLib::Cargar(bad));
    EXPECT_EQ(VNmRtgenLib::FrmNmRtgen, nullptr);
    EXPECT_EQ(VNmRtgenLib::DtmNmRtgen, nullptr);
    EXPECT_EQ(VNmRtgenLib::DtmNmRtrep, nullptr);
    EXPECT_EQ(VNmRtgenLib::FormaActiva, nullptr);
    EXPECT_NE(VNmRtgenLib::Cargar(fixtureArguments()), 0u);
}

// A company that is not a number, or not in the database, is refused: the form would otherwise open on the
// first company and show its figures as the one asked for.
TEST_F(Load, AnUnknownCompanyIsRefused) {
    const std::pair<const char*, const char*> cases[] = {
        {"abc", "El código de empresa 'abc' no es un número entero."},
        {"99999", "La empresa 99999 no existe en la base de datos."},
    };
    for (const auto& [empresa, message] : cases) {
        TLoadArguments args = fixtureArguments();
        args.empresa = QString::fromLatin1(empresa);
        EXPECT_EQ(testsupport::errorOf([&] { VNmRtgenLib::Cargar(args); }), QString::fromUtf8(message));
        EXPECT_FALSE(VNmRtgenLib::Cargado());
        EXPECT_EQ(VNmRtgenLib::DtmNmRtgen, nullptr);
    }
}

} // namespace
