// ReportEngine: prepares a ReportDocument over its datasets into a PreparedReport.
//
// Usage: construct with a document, bind each dataset by its user name, give the variable handler, call
// prepare(). Preparation walks every bound dataset through its cursor (first/next), so the datasets' own
// scroll handlers run as the rows are printed.
#pragma once

#include "FormatSettings.h"
#include "PreparedReport.h"
#include "ReportDataSet.h"
#include "ReportDocument.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

namespace report {

// Answers a report variable; returns false when the name is not one it knows.
using VariableHandler = std::function<bool(const QString& name, QVariant& value)>;

class ReportEnginePrivate;

class ReportEngine {
public:
    explicit ReportEngine(const ReportDocument& document);
    ~ReportEngine();

    // The dataset is not owned; it must outlive prepare().
    void bindDataSet(ReportDataSet* dataSet);
    void setVariableHandler(VariableHandler handler);
    void setFormatSettings(const FormatSettings& settings);
    // The moment DATE and TIME print; defaults to the time prepare() starts.
    void setNow(const QDateTime& now);
    // A report of this many pages or more keeps its finished pages in a temporary file (PageSpill), so
    // that memory does not grow with the page count; 0 keeps every page in memory.
    static constexpr int kDefaultSpillThreshold = 200;
    void setSpillThreshold(int pages);

    // Throws GeneralError (with a Spanish message naming the layout) on an expression error, a dataset or
    // variable the layout names but nobody binds, or a dataset error.
    PreparedReport prepare();

    // For measurements (the builders' benchmark): called with true when any engine starts preparing and
    // with false when it is done, whatever the outcome. Not thread-safe; empty by default.
    static void setPreparationHook(std::function<void(bool starting)> hook);

private:
    PreparedReport prepareReport();

    std::unique_ptr<ReportEnginePrivate> d;
};

} // namespace report
