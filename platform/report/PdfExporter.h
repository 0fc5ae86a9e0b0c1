// PdfExporter: a prepared report as a PDF document, one PDF page per prepared page with that page's paper
// size, fonts embedded, the report's title, author and subject in the document information and the report's
// outline as bookmarks.
#pragma once

#include "PreparedReport.h"

#include <QByteArray>
#include <QString>

namespace report {

struct PdfOptions {
    bool outline = true;    // bookmarks from PreparedReport::outline (none when the report has none)
    QString creator = QStringLiteral("VNmRtgen");
};

class PdfExporter {
public:
    // The whole document in memory. Throws GeneralError when the report has no pages.
    static QByteArray toPdf(const PreparedReport& report, const PdfOptions& options = {});

    // Writes the document to path, replacing the file only once it is completely written. Throws
    // GeneralError "No se pudo escribir el archivo '<path>': ..." when it cannot be written.
    static void exportToFile(const PreparedReport& report, const QString& path, const PdfOptions& options = {});
};

} // namespace report
