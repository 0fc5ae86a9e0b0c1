// PdfExporter: the prepared pages go to PdfWriter one by one, straight into the output file; the writer
// holds one page at a time, so a long report is written in the memory of a short one.
#include "PdfExporter.h"

#include "GeneralError.h"
#include "OutputFile.h"
#include "PdfWriter_p.h"

namespace report {

namespace {

class BufferSink : public OutputSink {
public:
    explicit BufferSink(QByteArray& out) : m_out(out) {}
    void write(const char* data, qsizetype size) override { m_out.append(data, size); }

private:
    QByteArray& m_out;
};

void writeDocument(OutputSink& sink, const PreparedReport& report, const PdfOptions& options) {
    if (report.isEmpty())
        throw GeneralError(QStringLiteral("El informe no tiene páginas para exportar."));
    detail::PdfWriter writer(sink);
    for (int i = 0; i < report.pageCount(); ++i)
        writer.writePage(report.page(i));
    writer.finish(report, options.creator, options.outline);
}

} // namespace

QByteArray PdfExporter::toPdf(const PreparedReport& report, const PdfOptions& options) {
    QByteArray pdf;
    BufferSink sink(pdf);
    writeDocument(sink, report, options);
    return pdf;
}

void PdfExporter::exportToFile(const PreparedReport& report, const QString& path, const PdfOptions& options) {
    if (report.isEmpty())
        throw GeneralError(QStringLiteral("El informe no tiene páginas para exportar."));
    writeOutputFile(path, [&](OutputSink& sink) { writeDocument(sink, report, options); });
}

} // namespace report
