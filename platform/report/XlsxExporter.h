// XlsxExporter: a prepared report as a spreadsheet. All pages go one below the other on one worksheet,
// page headers, footers and blank space included, with a page break before each page; texts become cells
// (merged when a text spans several), numbers and dates stay numbers with the report's number format, and
// pictures and drawings are placed as images over the cells.
#pragma once

#include "PreparedReport.h"

#include <QString>

namespace report {

class XlsxExporter {
public:
    // Writes the workbook to path, replacing the file only once it is completely written. Throws
    // GeneralError when the report has no pages or "No se pudo escribir el archivo '<path>': ..." when the
    // file cannot be written.
    static void exportToFile(const PreparedReport& report, const QString& path);
};

} // namespace report
