// The layouts of the report module, prepared over hand-filled result sets: what each prints, in its
// format, and where totals land. Set VNMRTGEN_LAYOUT_PDF_DIR to also write each prepared report as PDF.
#include "GeneralError.h"
#include "PdfExporter.h"
#include "ReportPresenter.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "ReportModuleFixture.h"
#include "TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

class Layouts : public ReportModuleFixture {
protected:
    const report::PreparedReport& show(TfrxReport* layout) {
        layout->ShowReport(run);
        const QString dir = qEnvironmentVariable("VNMRTGEN_LAYOUT_PDF_DIR");
        if (!dir.isEmpty())
            report::PdfExporter::exportToFile(capture.reports.back(), QDir(dir).filePath(layout->Name() + QStringLiteral(".pdf")));
        return capture.reports.back();
    }

    void addTotNomi(int ccos, const QString& nomCcos, int tnom, const QString& nomTnom, double val) {
        TClientDataSet& c = *data.CdsTotNomi;
        c.Append();
        c.FieldByName(QStringLiteral("COD_CCOS")).SetAsInteger(ccos);
        c.FieldByName(QStringLiteral("NOM_CCOS")).SetAsString(nomCcos);
        c.FieldByName(QStringLiteral("COD_TNOM")).SetAsInteger(tnom);
        c.FieldByName(QStringLiteral("NOM_TNOM")).SetAsString(nomTnom);
        c.FieldByName(QStringLiteral("VAL_ACUM")).SetAsFloat(val);
        c.Post();
    }

    void addReconciliation(TClientDataSet& c, const QString& cuenta, const QString& concepto, QVariant nomina,
                           QVariant contable, QVariant diferencia) {
        c.Append();
        c.FieldByName(QStringLiteral("COD_CUEN")).SetAsString(cuenta);
        c.FieldByName(QStringLiteral("NOM_CONC")).SetAsString(concepto);
        c.FieldByName(QStringLiteral("SAL_NOMI")).SetValue(nomina);
        c.FieldByName(QStringLiteral("SAL_CONT")).SetValue(contable);
        c.FieldByName(QStringLiteral("DIF_SALD")).SetValue(diferencia);
        c.Post();
    }

};

TEST_F(Layouts, EveryLayoutThatShipsLoads) {
    int loaded = 0;
    for (TfrxReport* r : rep.Reports()) {
        if (TDtmNmRtrep::layoutXml(r->Name()).isEmpty())
            continue;
        EXPECT_NO_THROW(r->Document()) << r->Name().toStdString();
        ++loaded;
    }
    EXPECT_GE(loaded, 4);
}

TEST_F(Layouts, CostCentreTotalsPerGroupAndOverall) {
    addTotNomi(10, QStringLiteral("ADMINISTRACIÓN"), 1, QStringLiteral("NOMINA ADMINISTRATIVA"), 1500000);
    addTotNomi(10, QStringLiteral("ADMINISTRACIÓN"), 2, QStringLiteral("NOMINA OPERATIVA"), -250000.5);
    addTotNomi(20, QStringLiteral("OPERACIONES"), 1, QStringLiteral("NOMINA ADMINISTRATIVA"), 0);
    const report::PreparedReport& r = show(rep.frxRptTotNomi);
    EXPECT_EQ(textsOf(r, QStringLiteral("CentroCosto")),
              (QStringList{QStringLiteral("CENTRO DE COSTOS: 10 - ADMINISTRACIÓN"), QStringLiteral("CENTRO DE COSTOS: 20 - OPERACIONES")}));
    EXPECT_EQ(textsOf(r, QStringLiteral("Clase")),
              (QStringList{QStringLiteral("1 - NOMINA ADMINISTRATIVA"), QStringLiteral("2 - NOMINA OPERATIVA"),
                           QStringLiteral("1 - NOMINA ADMINISTRATIVA")}));
    EXPECT_EQ(textsOf(r, QStringLiteral("ValAcum")),
              (QStringList{QStringLiteral("$ 1.500.000,00"), QStringLiteral("-$ 250.000,50"), QStringLiteral("$ 0,00")}));
    EXPECT_EQ(textsOf(r, QStringLiteral("TotalCentro")),
              (QStringList{QStringLiteral("$ 1.249.999,50"), QStringLiteral("$ 0,00")}));
    EXPECT_EQ(textsOf(r, QStringLiteral("Total")), QStringList{QStringLiteral("$ 1.249.999,50")});
    EXPECT_EQ(textsOf(r, QStringLiteral("Titulo")), QStringList{QStringLiteral("Valor total de Nómina por Centro de costo")});
    ASSERT_EQ(r.outline.size(), 2u);
    EXPECT_EQ(r.outline[0].text, QStringLiteral("ADMINISTRACIÓN"));
}

TEST_F(Layouts, CostCentreReportWithoutPayrollShowsOnlyAZeroTotal) {
    const report::PreparedReport& r = show(rep.frxRptTotNomi);
    ASSERT_EQ(r.pages.size(), 1u);
    EXPECT_TRUE(textsOf(r, QStringLiteral("CentroCosto")).isEmpty());
    EXPECT_TRUE(textsOf(r, QStringLiteral("TitClase")).isEmpty());
    EXPECT_EQ(textsOf(r, QStringLiteral("TitTotal")), QStringList{QStringLiteral("TOTAL")});
    EXPECT_EQ(textsOf(r, QStringLiteral("Total")), QStringList{QStringLiteral("$ 0,00")});
}

TEST_F(Layouts, ReconciliationRowsTotalsAndObservations) {
    addReconciliation(*data.CdsReporte, QStringLiteral("250505"), QStringLiteral("Nómina NOMINA ADMINISTRATIVA"),
                      1000.0, 600.0, 900.0);
    addReconciliation(*data.CdsReporte, QStringLiteral("250505"),
                      QStringLiteral("Nómina NOMINA OPERATIVA CON UN NOMBRE MUY LARGO QUE NO CABE EN LA COLUMNA DEL CONCEPTO"),
                      500.0, QVariant(), QVariant());
    data.gStObsErva = QStringLiteral("Primera línea\nSegunda línea");
    const report::PreparedReport& r = show(rep.frxRptRtgen);
    EXPECT_EQ(textsOf(r, QStringLiteral("SalCont")), (QStringList{QStringLiteral("$ 600,00"), QString()}));
    EXPECT_EQ(textsOf(r, QStringLiteral("TotNomi")), QStringList{QStringLiteral("$ 1.500,00")});
    EXPECT_EQ(textsOf(r, QStringLiteral("TotCont")), QStringList{QStringLiteral("$ 600,00")});
    EXPECT_EQ(textsOf(r, QStringLiteral("TotDif")), QStringList{QStringLiteral("$ 900,00")});
    const auto obs = named(r, QStringLiteral("Observaciones"));
    ASSERT_EQ(obs.size(), 1u);
    EXPECT_EQ(obs[0]->plainText(), QStringLiteral("OBSERVACIONES:\n\nPrimera línea\nSegunda línea"));
    EXPECT_TRUE(obs[0]->lines[0].runs[0].bold);
    // The long concept wraps and every cell of its row takes the row's height.
    const auto concepts = named(r, QStringLiteral("NomConc"));
    const auto amounts = named(r, QStringLiteral("DifSald"));
    EXPECT_GT(concepts[1]->lines.size(), 1);
    EXPECT_DOUBLE_EQ(concepts[1]->rect.height(), amounts[1]->rect.height());
    EXPECT_EQ(textsOf(r, QStringLiteral("Titulo")), QStringList{QStringLiteral("Conciliación de Nómina")});
}

TEST_F(Layouts, NoveltyReconciliationReadsItsOwnResultSet) {
    addReconciliation(*data.CdsNomxPag, QStringLiteral("237005"), QStringLiteral("APORTES EPS"), 10.0, 25.0, -15.0);
    data.gStObsErva.clear();
    const report::PreparedReport& r = show(rep.frxRptConNov);
    EXPECT_EQ(textsOf(r, QStringLiteral("DifSald")), QStringList{QStringLiteral("-$ 15,00")});
    EXPECT_EQ(textsOf(r, QStringLiteral("Observaciones")), QStringList{QStringLiteral("OBSERVACIONES:\n")});
    EXPECT_EQ(textsOf(r, QStringLiteral("Titulo")), QStringList{QStringLiteral("Conciliación de Novedades")});
}

TEST_F(Layouts, ConsolidatedVacationsListsTheQueryWithHeadersEvenWhenEmpty) {
    const report::PreparedReport& r = show(rep.frxRptConva);
    EXPECT_EQ(textsOf(r, QStringLiteral("TitBase")), QStringList{QStringLiteral("Base de liquidación")});
    EXPECT_TRUE(textsOf(r, QStringLiteral("BasLiqu")).isEmpty());
}

} // namespace
