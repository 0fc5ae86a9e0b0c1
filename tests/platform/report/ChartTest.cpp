// The chart object as a reader of the PDF sees it: bars with their value marks, the legend above the plot,
// category labels whole (wrapped, never cut short), and text kept as text.
#include "DocumentLoader.h"
#include "MemoryDataSet.h"
#include "OutputFixture.h"
#include "PdfExporter.h"
#include "ReportEngine.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace report;

namespace {

TEST(Chart, MarksLegendAndWholeLabelsReachThePdfAsText) {
    testsupport::pinFormatSettings();
    const char* xml = R"(<report name="rptGrafico"><page name="P" paper="letter" orientation="portrait" margins="10">
        <band height="133">
          <chart left="0" top="0" width="196" height="133" dataset="Ds" legend="top">
            <series title="PLANTA" category="&lt;Ds.&quot;NOM&quot;&gt;" value="&lt;Ds.&quot;PLANTA&quot;&gt;" format="0"/>
            <series title="INGRESOS" category="&lt;Ds.&quot;NOM&quot;&gt;" value="&lt;Ds.&quot;INGR&quot;&gt;" format="0"/>
          </chart>
        </band></page></report>)";
    const ReportDocument doc = DocumentLoader().load(xml, QStringLiteral("grafico.xml"));
    MemoryDataSet ds{QStringLiteral("Ds"), {QStringLiteral("NOM"), QStringLiteral("PLANTA"), QStringLiteral("INGR")}};
    ds.add({"NOMINA ADMINISTRATIVA DE LA SEDE PRINCIPAL EN BOGOTA", 417, 23});
    ds.add({"CONDUCTORES", 58, 9});
    ds.add({"APRENDICES SENA", 12, QVariant()});
    ReportEngine engine(doc);
    engine.bindDataSet(&ds);
    const PreparedReport prepared = engine.prepare();
    ASSERT_EQ(prepared.pages.size(), 1u);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("grafico.pdf"));
    PdfExporter::exportToFile(prepared, pdf);
    const auto text = outtest::runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_EQ(text.exitCode, 0);
    const QString all = QString::fromUtf8(text.out).simplified();
    for (const char* expected : {"PLANTA", "INGRESOS", "417", "58", "12", "23", "9", "CONDUCTORES", "APRENDICES SENA",
                                 "PRINCIPAL"})
        EXPECT_TRUE(all.contains(QLatin1String(expected))) << expected << " missing from: " << all.toStdString();
    EXPECT_FALSE(all.contains(QStringLiteral("..."))) << all.toStdString();
    // The legend stands above the plot: its titles come before the category labels.
    EXPECT_LT(all.indexOf(QLatin1String("INGRESOS")), all.indexOf(QLatin1String("CONDUCTORES"))) << all.toStdString();
}

} // namespace
