// The small payroll database the report integration tests run on, and the wiring that runs a report
// builder on it end to end: read-only application-server connection, data module, report module, and a
// run with a capturing presenter.
//
// The rows are few and chosen by hand so that every expected figure in the tests can be added up from
// PayrollFixture.cpp; each row there says which case it serves. Company 1 is the company under test,
// company 2 holds rows that must never show up in company 1's reports, company 3 has no novelty
// parameters at all.
#pragma once

#include "ConnectionParams.h"
#include "PreparedReport.h"
#include "CapturePresenter.h"
#include "SDCOMConnection.h"
#include "TClientDataSet.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TReportBuilders.h"
#include "TReportRun.h"

#include <QSqlDatabase>
#include <QStringList>
#include <functional>
#include <vector>

namespace reportfixture {

// Inserts the rows of the fixture into a database that has the schema and no rows.
void writeRows(QSqlDatabase& db);

// A SQLite file with the schema and the fixture rows, created on first use and shared by the process.
const QString& sqlitePath();
ConnectionParams sqliteParams();

// One report run: everything a builder needs, on a fresh data module and report module. It is the run's
// host: it answers the observations dialog as told and shows no progress.
class ReportRun : public TRunHost {
public:
    explicit ReportRun(const ConnectionParams& params);
    ~ReportRun() override;

    // The run values (company 1, kinds "N", user ADMIN until changed) and the period.
    void setPeriod(TDateTime from, TDateTime to);
    // Runs one builder for values, with the lists chosen below, as the form's request hands them over.
    void generate(void (TReportBuilders::*builder)());
    // The classes and prototypes chosen on the form, taken from the company's catalogues with their
    // names, in the given order (the lists keep themselves in code order).
    void chooseClasses(const std::vector<int>& codes);
    void chooseProtos(const std::vector<int>& codes);
    // The novelty parameters of company as the form shows them when report type 3 is picked.
    void loadNoveltyParameters(int company);
    // What the observations dialog answers: the accepted text, or empty for a cancelled dialog.
    void answerObservations(const QString& text);
    int observationRequests() const { return m_observationRequests; }

    // The prepared report of the last builder run; fails the test when none was shown.
    const report::PreparedReport& lastReport() const;

    SDCOMConnection connection;
    TDtmNmRtgen dtm;
    TDtmNmRtrep rep;
    TClientDataSet company;
    CapturePresenter capture;
    TReportRun values;

    QString PedirObservaciones() override;
    // A progress display whose stop button is pressed after stopAfter records (never with -1); it counts
    // the records announced and whether the run finished it. Announcing record failAfter fails, as an error
    // in the middle of the walk would.
    std::unique_ptr<TProcessProgress> CrearProgreso() override;
    int stopAfter = -1;
    int failAfter = -1;
    int recordsAnnounced = 0;
    bool progressFinished = false;

private:
    QString m_observations;
    int m_observationRequests = 0;
};

// The texts of the memos of that name, in page and band order.
QStringList textsOf(const report::PreparedReport& report, const QString& memoName);
// The lines of the printed observations (both reconciliations).
QStringList observationLines(const report::PreparedReport& report);
// Every printed text as "memo: text", in page order, leaving out the print date and time.
QStringList printedTexts(const report::PreparedReport& report);

// The rows of a dataset in its current order, one text per row, values separated by " | ": numbers
// with two decimals ("3310000.25"), integers as integers, texts as they are, nulls as "NULL".
QStringList rowsOf(TDataSet& dataSet, const QStringList& fields);

// A named run of one report builder on the fixture, for comparing backends.
struct Scenario {
    QString name;
    std::function<void(ReportRun&)> run;
    TDataSet* (*resultSet)(TDtmNmRtgen&);
    QStringList fields;
};
std::vector<Scenario> comparisonScenarios();

// Both reconciliations print the same table.
// The fields of their result sets, in order.
extern const QStringList kReconciliationFields;
// The three amounts of each printed row, "payroll | ledger | difference".
QStringList printedAmounts(const report::PreparedReport& r);
// The footer totals: payroll, ledger, difference.
QStringList footer(const report::PreparedReport& r);
inline TDateTime day(int y, int m, int d) { return TDateTime::encodeDate(y, m, d); }

} // namespace reportfixture
