// The chart object: a bar chart drawn with Qt Charts into a recorded picture, so that the PDF writer and
// the printer get vectors, the preview its screen pixels and the spreadsheet an image. Internal to the
// engine, which evaluates the series over the bound dataset.
#pragma once

#include "PreparedReport.h"
#include "ReportDocument.h"

#include <QStringList>
#include <QVariant>
#include <vector>

namespace report::detail {

// One bar per category and series: values[series][category] (a null value draws no bar and no mark).
DrawingItem drawBarChart(const ChartView& view, const QStringList& categories,
                         const std::vector<std::vector<QVariant>>& values);

} // namespace report::detail
