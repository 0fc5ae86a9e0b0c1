#include "PrintExporter.h"

#include "GeneralError.h"
#include "PageLayout_p.h"
#include "PageRenderer.h"

#include <QPainter>
#include <QPrinter>

namespace report {

namespace {

std::vector<int> pagesToPrint(const PreparedReport& report, const QPrinter& printer, const PrintOptions& options) {
    const int count = report.pageCount();
    std::vector<int> pages;
    auto wanted = [&](int n) {
        if (options.fromPage > 0)
            return n >= options.fromPage && (options.toPage <= 0 || n <= options.toPage);
        const QPageRanges ranges = printer.pageRanges();
        return ranges.isEmpty() || ranges.contains(n);
    };
    for (int n = 1; n <= count; ++n)
        if (wanted(n))
            pages.push_back(n - 1);
    return pages;
}

} // namespace

int PrintExporter::print(const PreparedReport& report, QPrinter& printer, const PrintOptions& options) {
    const std::vector<int> pages = pagesToPrint(report, printer, options);
    if (pages.empty())
        return 0;
    // Items are placed from the paper's corner, not from the printable area.
    printer.setFullPage(true);
    if (!options.fitToPrinterPaper)
        printer.setPageLayout(detail::pageLayoutFor(report.pageFrame(pages.front())));
    if (!report.title.isEmpty())
        printer.setDocName(report.title);

    QPainter painter;
    if (!painter.begin(&printer))
        throw GeneralError(QStringLiteral("No se pudo iniciar la impresión en la impresora '%1'.")
                               .arg(printer.printerName().isEmpty() ? printer.outputFileName() : printer.printerName()));
    const double pxPerMm = PageRenderer::pixelsPerMm(printer);
    for (size_t i = 0; i < pages.size(); ++i) {
        const PreparedPage page = report.page(pages[i]);
        if (i > 0) {
            if (!options.fitToPrinterPaper)
                printer.setPageLayout(detail::pageLayoutFor(page));
            printer.newPage();
        }
        painter.save();
        if (options.fitToPrinterPaper) {
            const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
            const QSizeF pagePx = page.paperMm * pxPerMm;
            const double scale = std::min(paper.width() / pagePx.width(), paper.height() / pagePx.height());
            painter.translate((paper.width() - pagePx.width() * scale) / 2, (paper.height() - pagePx.height() * scale) / 2);
            painter.scale(scale, scale);
        }
        PageRenderer::render(painter, page, pxPerMm);
        painter.restore();
    }
    painter.end();
    return int(pages.size());
}

} // namespace report
