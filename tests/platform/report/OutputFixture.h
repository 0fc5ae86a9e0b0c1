// Helpers of the output tests: a three-page prepared report built by hand, the outside tools that read what
// the exporters write (qpdf, poppler, python with openpyxl), and pixel statistics of rendered images.
#pragma once

#include "GeneralError.h"
#include "PreparedReport.h"
#include "TestSupport.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>


namespace outtest {

// The sample report, page by page:
//   page 1 (Letter portrait): logo picture at (11, 11, 34 x 27); bold title "Nómina de prueba"; "AÑO 2024";
//     a rule under the header; a framed table (Código | Nombre | Valor) whose amounts are numbers formatted
//     "$ #,##0.00"; the line "Total: " (bold run) + "Ñandú" (plain run); a filled rectangle behind a text.
//   page 2 (Letter portrait): more table rows, a date cell, a justified wrapped paragraph.
//   page 3 (Letter landscape 279.4 x 215.9): a chart drawing (blue background, green bar) and a footer.
//   outline: "Grupo A" (page 1), "Subgrupo A.1" under it (page 2), "Grupo B" (page 3).
report::PreparedReport sampleReport();
// The same report with its pages in a temporary file, as the engine leaves a long report.
report::PreparedReport spilled(report::PreparedReport report);

// A text item measured with the engine's measurer: "\n" separates lines.
report::TextItem text(const QRectF& rectMm, const QString& text, report::HAlign align = report::HAlign::Left,
                      bool bold = false, double sizePt = 10);
report::FrameSpec allSides(double widthPt = 1.0);
// The first text item of a page whose text starts with prefix; fails the test when there is none.
const report::TextItem& findText(const report::PreparedPage& page, const QString& prefix);

// Rectangles of the sample report that tests look at, in mm.
inline const QRectF kTitleRect(47, 17, 128, 6);      // "Nómina de prueba", bold 10 pt
inline const QRectF kAmountRect(131, 60, 40, 6);     // first amount, right-aligned, framed
inline const QRectF kLogoRect(11, 11, 34, 27);       // the logo box: a 40 x 20 red image centred in it
inline const QRectF kChartRect(40, 40, 100, 50);     // page 3: drawing of source size 100 x 50
constexpr double kFirstAmount = 1234567.89;
inline const QString kMoneyFormat = QStringLiteral("\"$\" #,##0.00");

struct ToolResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs an outside program to its end. Returns exitCode -1 with the reason in err when it cannot start.
ToolResult runTool(const QString& program, const QStringList& args, int timeoutMs = 60000);
bool hasTool(const QString& program);

// Pixel statistics of an image region.
int darkPixels(const QImage& image, const QRect& region, int threshold = 160);
bool isMostly(const QImage& image, const QRect& region, QRgb color, double share = 0.8, int tolerance = 40);
// Region of an image rendered at dpi that shows rectMm.
QRect pixelRect(const QRectF& rectMm, double dpi);

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& data);
// The error of f run while files may grow to at most bytes (a full disk, as far as the writers can tell):
// empty when f throws nothing.
QString errorUnderFileSizeLimit(long bytes, const std::function<void()>& f);

} // namespace outtest

#define VN_REQUIRE_TOOL(program)                                                                        \
    if (!outtest::hasTool(program))                                                                     \
        GTEST_SKIP() << "herramienta ausente: " << program;
