// PrintExporter: a prepared report on a printer, each page on paper of its own size and orientation.
#pragma once

#include "PreparedReport.h"

class QPrinter;

namespace report {

struct PrintOptions {
    // Pages to print, 1-based and inclusive; 0 takes the printer's own page ranges (as chosen in the print
    // dialog), or every page when it has none.
    int fromPage = 0;
    int toPage = 0;
    // Keep the paper the user chose for the printer (page setup) and scale each page to fit it, centred,
    // instead of switching the printer to each page's own paper.
    bool fitToPrinterPaper = false;
};

class PrintExporter {
public:
    // Prints onto printer, which must be valid. Returns the number of pages sent. Throws GeneralError when
    // the printer cannot be started.
    static int print(const PreparedReport& report, QPrinter& printer, const PrintOptions& options = {});
};

} // namespace report
