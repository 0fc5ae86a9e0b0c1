// The eleven report types: their captions (the items of the form's report-type group, index 0 to 10), the
// builder each one dispatches to and the layout it shows. The form, the batch command and the tests take
// the types from this one table.
#pragma once

#include <QString>
#include <array>

class TDtmNmRtgen;
class TDtmNmRtrep;
class TReportBuilders;
struct TReportRun;

struct TReportType {
    int index;
    const char* caption; // UTF-8, as the form shows it
    void (TReportBuilders::*builder)();
    const char* layout; // frxRptXxx of the report module

    QString Caption() const { return QString::fromUtf8(caption); }
};

inline constexpr int kReportTypeCount = 11;

const std::array<TReportType, kReportTypeCount>& ReportTypes();
// The entry of index T, or nullptr when T is not 0..10 (no type chosen).
const TReportType* ReportTypeAt(int T);

// Runs the builder of type T for run over the two modules; any other T does nothing.
void Despachar(TDtmNmRtgen& dtm, TDtmNmRtrep& rep, const TReportRun& run, int T);

