#include "DocumentLoader.h"
#include "GeneralError.h"
#include "ReportEngine.h"
#include "ReportPresenter.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "ReportModuleFixture.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace {

class ReportModule : public ReportModuleFixture {
protected:
    report::PreparedReport prepareWithCommonBands(const char* body) {
        const QByteArray xml = QByteArray(R"(<report name="frxPrueba"><page name="P">
            <include fragment="CommonPageHeader" title="Título de prueba"/>)") +
                               body + R"(<include fragment="CommonPageFooter"/></page></report>)";
        report::DocumentLoader loader;
        loader.setFragmentResolver(&TDtmNmRtrep::fragmentXml);
        const report::ReportDocument doc = loader.load(xml, QStringLiteral("prueba.xml"));
        report::ReportEngine engine(doc);
        rep.BindingByUserName(QStringLiteral("QryGnEmpre"))->SetDataSet(run.CdsGnEmpre);
        for (const auto& b : rep.Bindings())
            engine.bindDataSet(b.get());
        engine.setVariableHandler([this](const QString& n, QVariant& v) { return rep.frxRptRtgenGetValue(run, n, v); });
        engine.setNow(QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7)));
        return engine.prepare();
    }


};

TEST_F(ReportModule, VariablesAnswerExactNamesOnly) {
    QVariant v = QStringLiteral("sin tocar");
    EXPECT_FALSE(rep.frxRptRtgenGetValue(run, QStringLiteral("gstcodusua"), v));
    EXPECT_EQ(v.toString(), QStringLiteral("sin tocar"));
    ASSERT_TRUE(rep.frxRptRtgenGetValue(run, QStringLiteral("gStCodUsua"), v));
    EXPECT_EQ(v.toString(), QStringLiteral("JPEREZ"));
    ASSERT_TRUE(rep.frxRptRtgenGetValue(run, QStringLiteral("gStDateFormat"), v));
    EXPECT_EQ(v.toString(), QStringLiteral("dd/MM/yyyy"));
    ASSERT_TRUE(rep.frxRptRtgenGetValue(run, QStringLiteral("gDtFecFina"), v));
    EXPECT_EQ(v.toDateTime().date(), QDate(2026, 12, 31));
    // The requisition pages' study flag: "N" while the requirements query holds no row.
    ASSERT_TRUE(rep.frxRptRtgenGetValue(run, QStringLiteral("gStEstudio"), v));
    EXPECT_EQ(v.toString(), QStringLiteral("N"));
}

// A layout names its result set by the user name of the binding; the company row is the run's, bound only
// while a run prepares.
TEST_F(ReportModule, EveryBindingButTheCompanyReachesItsResultSet) {
    for (const auto& b : rep.Bindings())
        EXPECT_EQ(b->DataSet() == nullptr, b->userName() == QLatin1String("QryGnEmpre"))
            << b->userName().toStdString();
}

TEST_F(ReportModule, EveryLayoutThatShipsLoads) {
    int loaded = 0;
    for (TfrxReport* r : rep.Reports()) {
        if (TDtmNmRtrep::layoutXml(r->Name()).isEmpty())
            continue;
        EXPECT_NO_THROW(r->Document()) << r->Name().toStdString();
        ++loaded;
    }
    EXPECT_GE(loaded, 4);
}

// A concept too long for its column wraps, and every cell of its row takes the row's height, so the lines of
// the reconciliation stay level.
TEST_F(ReportModule, ALongConceptWrapsAndItsRowKeepsOneHeight) {
    TClientDataSet& c = *data.CdsReporte;
    for (const QString& name :
         {QStringLiteral("Nómina NOMINA ADMINISTRATIVA"),
          QStringLiteral("Nómina NOMINA OPERATIVA CON UN NOMBRE MUY LARGO QUE NO CABE EN LA COLUMNA DEL CONCEPTO")}) {
        c.Append();
        c.FieldByName(QStringLiteral("COD_CUEN")).SetAsString(QStringLiteral("250505"));
        c.FieldByName(QStringLiteral("NOM_CONC")).SetAsString(name);
        c.FieldByName(QStringLiteral("SAL_NOMI")).SetAsFloat(500.0);
        c.Post();
    }
    rep.frxRptRtgen->ShowReport(run);
    const report::PreparedReport& r = capture.reports.back();
    const auto concepts = named(r, QStringLiteral("NomConc"));
    const auto amounts = named(r, QStringLiteral("DifSald"));
    ASSERT_EQ(concepts.size(), 2u);
    ASSERT_EQ(amounts.size(), 2u);
    EXPECT_EQ(concepts[0]->lines.size(), 1);
    EXPECT_GT(concepts[1]->lines.size(), 1);
    EXPECT_DOUBLE_EQ(concepts[1]->rect.height(), amounts[1]->rect.height());
}

// Requisitions: a cost centre whose rows come apart gets its header each time its code changes; counts do
// not wrap at 16 bits.
TEST_F(ReportModule, RequisitionGroupsFollowTheRowOrder) {
    TClientDataSet& c = *data.CdsRqpReporte;
    for (const auto& [ccos, cargo, count] : {std::tuple{10, "C1", 1}, {20, "C2", 2}, {10, "C3", 40000}}) {
        c.Append();
        c.FieldByName(QStringLiteral("COD_CCOS")).SetAsInteger(ccos);
        c.FieldByName(QStringLiteral("COD_CARG")).SetAsString(QString::fromLatin1(cargo));
        c.FieldByName(QStringLiteral("TOT_NSEL")).SetAsInteger(count);
        c.Post();
    }
    rep.frxRptRpqGen->ShowReport(run);
    EXPECT_EQ(textsOf(capture.reports.back(), QStringLiteral("CentroCosto")),
              (QStringList{"CENTRO DE COSTOS: 10 -", "CENTRO DE COSTOS: 20 -", "CENTRO DE COSTOS: 10 -"}));
    EXPECT_EQ(textsOf(capture.reports.back(), QStringLiteral("TotNsel")), (QStringList{"1", "2", "40000"}));
}

TEST_F(ReportModule, CommonHeaderAndFooterOnEveryPage) {
    const report::PreparedReport r = prepareWithCommonBands(
        R"(<band height="150"><memo left="0" top="0" width="10" height="5">uno</memo></band>
           <band height="150"><memo left="0" top="0" width="10" height="5">dos</memo></band>)");
    ASSERT_EQ(r.pages.size(), 2u); // the second band does not fit under the first
    const QStringList t = textsOf(r);
    for (const QString& expected :
         {QStringLiteral("SERVICIOS TEMPORALES ANDINOS S.A.S."), QStringLiteral("Informe gerencial"),
          QStringLiteral("Título de prueba"), QStringLiteral("NIT: 900123456"), QStringLiteral("Página: 1"),
          QStringLiteral("Página: 2"), QStringLiteral("Fecha: 06/12/2026"), QStringLiteral("Hora: 09:05:07"),
          QStringLiteral("Periodo: 01/10/2026 - 31/12/2026"), QStringLiteral("Vestra:   VNmRtgen"),
          QStringLiteral("Usuario: JPEREZ"), QStringLiteral("Formato Fecha: dd/MM/yyyy")})
        EXPECT_TRUE(t.contains(expected)) << expected.toStdString();
    EXPECT_EQ(t.count(QStringLiteral("Usuario: JPEREZ")), 2);
}

TEST_F(ReportModule, LogoPrintsOnlyWhenTheCompanyHasOne) {
    auto pictures = [](const report::PreparedReport& r) {
        int n = 0;
        for (const auto& item : r.pages.front().items)
            n += std::holds_alternative<report::PictureItem>(item);
        return n;
    };
    EXPECT_EQ(pictures(prepareWithCommonBands("")), 0);
    QImage logo(40, 30, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    logo.save(&buf, "PNG");
    company.Edit();
    company.FieldByName(QStringLiteral("BMP_REPO")).SetAsBytes(png);
    company.Post();
    const report::PreparedReport r = prepareWithCommonBands("");
    EXPECT_EQ(pictures(r), 1);
    EXPECT_TRUE(textsOf(r).contains(QStringLiteral("SERVICIOS TEMPORALES ANDINOS S.A.S.")));
}

TEST_F(ReportModule, DateFormatChangeReachesFooterAndPeriod) {
    FormatSettings::global().shortDateFormat = QStringLiteral("yyyy-MM-dd");
    FormatSettings::global().dateSeparator = QLatin1Char('-');
    const QStringList t = textsOf(prepareWithCommonBands(""));
    testsupport::pinFormatSettings();
    EXPECT_TRUE(t.contains(QStringLiteral("Formato Fecha: yyyy-MM-dd")));
    EXPECT_TRUE(t.contains(QStringLiteral("Periodo: 2026-10-01 - 2026-12-31")));
}

TEST_F(ReportModule, ShowReportNeedsALayoutAndAPresenter) {
    using testsupport::errorOf;
    // No layout document ships for this name.
    TfrxReport missing(QStringLiteral("frxRptNoExiste"), &rep);
    EXPECT_EQ(errorOf([&] { missing.ShowReport(run); }),
              QStringLiteral("El informe frxRptNoExiste no está disponible en esta versión del módulo."));
    TReportRun noPresenter = run;
    noPresenter.Presenter = nullptr;
    EXPECT_EQ(errorOf([&] { rep.frxRptTotNomi->ShowReport(noPresenter); }),
              QStringLiteral("No hay una vista previa asignada para mostrar el informe frxRptTotNomi."));
    EXPECT_TRUE(capture.reports.empty());
}

} // namespace
