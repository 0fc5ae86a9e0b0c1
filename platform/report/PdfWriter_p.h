// PdfWriter: a prepared report streamed into a PDF file page by page. Each page's drawing is compressed and
// written as soon as the page is done, so the writer holds one page at a time whatever the page count;
// what only the end knows (fonts, page tree, outline, document information, cross-reference table) is small
// and written last. Internal to the PDF exporter.
#pragma once

#include "OutputFile.h"
#include "PreparedReport.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <vector>

namespace report::detail {

// The page count and the size of the file a writer produced, for its caller's checks.
struct PdfWritten {
    int pages = 0;
    qint64 bytes = 0;
};

class PdfWriter {
public:
    explicit PdfWriter(OutputSink& out);
    ~PdfWriter();

    void writePage(const PreparedPage& page);
    // Closes the document: the report's title, author and subject, the creator, and the outline (when
    // withOutline and the report has one). Throws GeneralError when no page was written.
    PdfWritten finish(const PreparedReport& report, const QString& creator, bool withOutline);

    // Text in the single-byte encoding of the document's fonts (Windows-1252, which holds Spanish); a
    // character outside it becomes "?".
    static QByteArray encode(const QString& text);

    struct Private;

private:
    std::unique_ptr<Private> d;
};

} // namespace report::detail
