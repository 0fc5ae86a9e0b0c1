// Report engine benchmark: a listing of about 1,000 letter pages (group headers and footers with sums,
// page header and footer, money formats) prepared from 48,000 records, then written as PDF and XLSX.
// Prints pages per second for preparation and for each writer, and the peak resident memory.
//
//   bench_report [records] [output directory] [steps: p = preparation only, pdf, xlsx; all by default]
#include "DateRoutines.h"
#include "DocumentLoader.h"
#include "FormatSettings.h"
#include "PdfExporter.h"
#include "ReportEngine.h"
#include "XlsxExporter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <sys/resource.h>

namespace {

const char* kLayout = R"XML(<report name="rptBench" title="Listado de prueba">
  <page name="P" paper="letter" orientation="portrait" margins="10">
    <pageHeader height="14">
      <memo left="0" top="0" width="150" height="6" size="10" bold="true">LISTADO DE VALORES DE NÓMINA POR EMPLEADO</memo>
      <memo left="150" top="0" width="46" height="5" size="7" align="right">Página [PAGE#] de [TOTALPAGES#]</memo>
      <memo left="0" top="7" width="196" height="5" size="8">Periodo: 01/10/2026 - 31/12/2026</memo>
    </pageHeader>
    <dataBlock dataset="Ds">
      <group condition="&lt;Ds.&quot;CCOS&quot;&gt;">
        <groupHeader height="6" outline="Ds.&quot;NOMCC&quot;" reprintOnNewPage="true">
          <memo left="0" top="0.5" width="196" height="5" size="8" bold="true" frame="all">CENTRO DE COSTOS: [Ds."CCOS"] - [Ds."NOMCC"]</memo>
        </groupHeader>
        <groupFooter height="6">
          <memo left="0" top="0.5" width="146" height="5" size="8" bold="true" align="right">Total centro de costos</memo>
          <memo left="146" top="0.5" width="50" height="5" size="8" bold="true" align="right" format="%2.2m" frame="top">[SUM(&lt;Ds."VAL"&gt;)]</memo>
        </groupFooter>
      </group>
      <masterData name="Detalle" height="4.5" stretch="true" equalCellHeights="true">
        <memo left="0" top="0" width="30" height="4.5" size="8" frame="all" align="center">[Ds."EMPL"]</memo>
        <memo left="30" top="0" width="90" height="4.5" size="8" frame="all" stretch="true">[Ds."NOMBRE"]</memo>
        <memo left="120" top="0" width="26" height="4.5" size="8" frame="all" align="center" format="dd/mm/yyyy">[Ds."FECHA"]</memo>
        <memo left="146" top="0" width="50" height="4.5" size="8" frame="all" align="right" format="%2.2m">[Ds."VAL"]</memo>
      </masterData>
    </dataBlock>
    <summary height="8">
      <memo left="146" top="1" width="50" height="5" size="8" bold="true" align="right" format="%2.2m">[SUM(&lt;Ds."VAL"&gt;)]</memo>
    </summary>
    <pageFooter height="5">
      <memo left="0" top="0" width="100" height="4" size="7">VNmRtgen - prueba de rendimiento</memo>
    </pageFooter>
  </page>
</report>)XML";

class BenchDataSet : public report::ReportDataSet {
public:
    explicit BenchDataSet(int rows) : m_rows(rows) {}
    QString userName() const override { return QStringLiteral("Ds"); }
    void first() override { m_pos = 0; }
    void next() override {
        if (m_pos + 1 < m_rows)
            ++m_pos;
        else
            m_eof = true;
    }
    bool eof() const override { return m_eof || m_rows == 0; }
    int recordCount() const override { return m_rows; }
    bool hasField(const QString&) const override { return true; }
    QVariant value(const QString& f) const override {
        const int ccos = m_pos / 480 + 1;
        if (f == QLatin1String("CCOS")) return ccos;
        if (f == QLatin1String("NOMCC")) return QStringLiteral("CENTRO DE COSTOS NÚMERO %1").arg(ccos);
        if (f == QLatin1String("EMPL")) return 1000000.0 + m_pos;
        if (f == QLatin1String("NOMBRE"))
            return m_pos % 17 == 0 ? QStringLiteral("PEÑALOSA GÓMEZ MARÍA DEL PILAR, CON UNA NOTA LARGA QUE OCUPA DOS LÍNEAS EN LA COLUMNA")
                                   : QStringLiteral("PEÑALOSA GÓMEZ MARÍA DEL PILAR");
        if (f == QLatin1String("FECHA")) return QDateTime(QDate(2026, 10, 1).addDays(m_pos % 90), QTime(0, 0));
        return 1234.5 * (m_pos % 97) - 5000;
    }
    int recNo() const override { return m_pos + 1; }
    void setRecNo(int r) override { m_pos = r - 1; m_eof = false; }

private:
    int m_rows;
    int m_pos = 0;
    bool m_eof = false;
};

double peakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

} // namespace

int main(int argc, char** argv) {
    FijarZonaHorariaLocal();
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 48000;
    const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::tempPath();
    const QString steps = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("pdf,xlsx");
    FormatSettings::global() = FormatSettings::colombian();

    const report::ReportDocument doc = report::DocumentLoader().load(kLayout, QStringLiteral("bench.xml"));
    BenchDataSet ds(rows);
    report::ReportEngine engine(doc);
    engine.bindDataSet(&ds);

    QElapsedTimer t;
    t.start();
    const report::PreparedReport prepared = engine.prepare();
    const double prepareS = t.nsecsElapsed() / 1e9;
    const double pages = static_cast<double>(prepared.pageCount());
    std::printf("registros: %d  páginas: %.0f\n", rows, pages);
    std::printf("preparación: %.2f s  (%.0f páginas/s)  memoria pico: %.0f MB\n", prepareS, pages / prepareS, peakMb());

    if (steps.contains(QLatin1String("pdf"))) {
    const QString pdf = QDir(dir).filePath(QStringLiteral("bench_report.pdf"));
    t.restart();
    report::PdfExporter::exportToFile(prepared, pdf);
    const double pdfS = t.nsecsElapsed() / 1e9;
    std::printf("PDF: %.2f s  (%.0f páginas/s)  %.1f MB  memoria pico: %.0f MB\n", pdfS, pages / pdfS,
                QFileInfo(pdf).size() / 1048576.0, peakMb());
    }
    if (steps.contains(QLatin1String("xlsx"))) {
    const QString xlsx = QDir(dir).filePath(QStringLiteral("bench_report.xlsx"));
    t.restart();
    report::XlsxExporter::exportToFile(prepared, xlsx);
    const double xlsxS = t.nsecsElapsed() / 1e9;
    std::printf("XLSX: %.2f s  (%.0f páginas/s)  %.1f MB  memoria pico: %.0f MB\n", xlsxS, pages / xlsxS,
                QFileInfo(xlsx).size() / 1048576.0, peakMb());
    }
    return 0;
}
