// The cross-tab: gathering a dataset into a table of summed cells, and laying the table out in parts that
// fit a page. Internal to the engine, which places the parts as bands.
#pragma once

#include "FormatSettings.h"
#include "PreparedReport.h"
#include "ReportDataSet.h"
#include "ReportDocument.h"
#include "TextMeasurer.h"

#include <vector>

namespace report::detail {

// One piece of the printed table: its items relative to its top-left corner.
struct CrossTabPart {
    double width = 0;
    double height = 0;
    std::vector<PageItem> items;
};

// Reads ds from its first to its last record (a null ds or an empty one gives the headers and a zero total
// row) and lays the cross-tab out. A table wider than maxWidth is cut between column groups, one taller
// than maxHeight between rows; every part repeats the row headers at its left and the column headers at
// its top. Parts come in print order: across, then down (every column part of the first rows, then of the
// next rows).
std::vector<CrossTabPart> layoutCrossTab(const CrossTabView& view, ReportDataSet* ds, const FormatSettings& settings,
                                         const TextMeasurer& measurer, double maxWidth, double maxHeight);

} // namespace report::detail
