// Report builders benchmark: runs the reports on a database (the large demo database, for example, as a
// SQLite file or a PostgreSQL URL) and splits each run into database time (statements on the application
// server, rows included) and the module's own time (merging into result sets and preparing the pages).
// The statements of each run are then sent again alone, in the same order and through the same connection,
// which is what the database itself needs for the report; a report meets its goal when its run, page
// preparation aside (timed apart), takes at most 1.2 times that plus 0.3 s. Each report runs once first, to
// warm the caches. Then the PDF and the XLSX of the prepared report are timed. Prints the peak resident
// memory after each report.
//
//   bench_builders DATABASE [COMPANY] [FROM YYYY-MM-DD] [TO YYYY-MM-DD] [TYPES, e.g. 6,7,10]
#include "DateRoutines.h"
#include "FormatSettings.h"
#include "PdfExporter.h"
#include "XlsxExporter.h"
#include "Providers.h"
#include "ReportEngine.h"
#include "ReportPresenter.h"
#include "ReportTypes.h"
#include "SDCOMConnection.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TReportRun.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>
#include <vector>
#include <sys/resource.h>

namespace {

// Forwards to the connection, adds up the time spent waiting for it and keeps each statement for the replay.
class TimedServer : public TRemoteServer {
public:
    explicit TimedServer(SDCOMConnection& c) : m_connection(c) {}
    TResultSet Execute(const QString& provider, const QString& text, const TParams& params) override {
        QElapsedTimer t;
        t.start();
        TResultSet r = m_connection.Execute(provider, text, params);
        nanoseconds += t.nsecsElapsed();
        rows += static_cast<qint64>(r.rows.size());
        ++statements;
        Sent& s = sent.emplace_back();
        s.provider = provider;
        s.text = text;
        for (int i = 0; i < params.Count(); ++i)
            s.params.Add(params[i].Name(), params[i].DataType()).SetValue(params[i].Value());
        return r;
    }
    void reset() {
        nanoseconds = rows = 0;
        statements = 0;
        sent.clear();
    }
    // The statements of the last run again, alone: seconds.
    double replay() {
        QElapsedTimer t;
        t.start();
        for (const Sent& s : sent)
            m_connection.Execute(s.provider, s.text, s.params);
        return t.nsecsElapsed() / 1e9;
    }
    qint64 nanoseconds = 0;
    qint64 rows = 0;
    int statements = 0;

private:
    struct Sent {
        QString provider, text;
        TParams params;
    };
    SDCOMConnection& m_connection;
    std::vector<Sent> sent;
};

double peakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

void openWith(SClientDataSet& q, const char* param, int company) {
    q.Close();
    q.ParamByName(QString::fromLatin1(param)).SetAsSmallInt(company);
    q.Open();
}

} // namespace

int main(int argc, char** argv) {
    FijarZonaHorariaLocal();
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: bench_builders BASE [EMPRESA] [DESDE AAAA-MM-DD] [HASTA AAAA-MM-DD]\n");
        return 2;
    }
    const QString locator = QString::fromLocal8Bit(argv[1]);
    const int company = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1;
    const TDateTime from = *TDateTime::fromIso(argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("2026-10-01"));
    const TDateTime to = *TDateTime::fromIso(argc > 4 ? QString::fromLocal8Bit(argv[4]) : QStringLiteral("2026-12-31"));
    FormatSettings::global() = FormatSettings::colombian();

    SDCOMConnection connection;
    connection.Open(ConnectionParams::fromLocator(locator));
    registerProviders(connection.Providers());
    connection.Providers().add(QStringLiteral("DtsPBenchEmpresa"),
                               QStringLiteral("SELECT NOM_EMPR, NIT_EMPR, BMP_REPO FROM GN_EMPRE WHERE COD_EMPR = :P_COD_EMPR"));
    TimedServer server(connection);
    TDtmNmRtgen dtm(&server);
    TDtmNmRtrep rep(&dtm);
    SClientDataSet empresa(QStringLiteral("CdsGnEmpre"));
    empresa.SetProviderName(QStringLiteral("DtsPBenchEmpresa"));
    empresa.SetRemoteServer(&server);
    empresa.SetCommandText(QStringLiteral("-"));
    empresa.Params().Add(QStringLiteral("P_COD_EMPR"), TFieldType::ftSmallint).SetAsSmallInt(company);
    empresa.Open();
    // Nothing is shown: the prepared pages of each run are kept for the PDF timing.
    struct Keep : ReportPresenter {
        report::PreparedReport last;
        void present(const QString&, const report::PreparedReport& pages) override { last = pages; }
    } capture;
    struct Bench : TRunHost {
        QString PedirObservaciones() override { return QStringLiteral("Prueba de rendimiento."); }
        std::unique_ptr<TProcessProgress> CrearProgreso() override { return nullptr; }
    } host;

    // The lists of the payroll reconciliation: every class of the company and prototype 9 ("NOMINA TOTAL"
    // in the demo data); the novelty parameters of the company.
    openWith(*dtm.QryNmTnomi, "P_COD_EMPR", company);
    for (dtm.QryNmTnomi->First(); !dtm.QryNmTnomi->Eof(); dtm.QryNmTnomi->Next()) {
        dtm.CdsNmTnomi->Append();
        dtm.CdsNmTnomi->FieldByName(QStringLiteral("COD_TNOM")).SetValue(dtm.QryNmTnomi->FieldByName(QStringLiteral("COD_TNOM")).Value());
        dtm.CdsNmTnomi->FieldByName(QStringLiteral("NOM_TNOM")).SetValue(dtm.QryNmTnomi->FieldByName(QStringLiteral("NOM_TNOM")).Value());
        dtm.CdsNmTnomi->Post();
    }
    dtm.CdsNmTprot->Append();
    dtm.CdsNmTprot->FieldByName(QStringLiteral("COD_PROT")).SetAsInteger(9);
    dtm.CdsNmTprot->Post();
    dtm.gStCodCuen = QStringLiteral("250505");
    openWith(*dtm.QryNmPrtgeCn, "COD_EMPR", company);

    TReportRun run;
    run.CodEmpr = company;
    run.CodiUsua = QStringLiteral("BENCH");
    run.gDtFecInic = from;
    run.gDtFecFina = to;
    run.TiposNomina = QStringLiteral("NADCXPV");
    for (dtm.CdsNmTnomi->First(); !dtm.CdsNmTnomi->Eof(); dtm.CdsNmTnomi->Next())
        run.Clases << dtm.CdsNmTnomi->FieldByName(QStringLiteral("COD_TNOM")).AsInteger();
    run.Prototipos = {9};
    run.CodCuen = dtm.gStCodCuen;
    run.CdsGnEmpre = &empresa;
    run.Host = &host;
    run.Presenter = &capture;

    // Preparing the pages is timed apart (without the statements it sends itself): a long report spends
    // its module time there, at the engine's pace, whatever its builder does.
    double preparing = 0;
    QElapsedTimer prepareTimer;
    qint64 dbAtPrepareStart = 0;
    report::ReportEngine::setPreparationHook([&](bool starting) {
        if (starting) {
            prepareTimer.start();
            dbAtPrepareStart = server.nanoseconds;
        } else {
            preparing += (prepareTimer.nsecsElapsed() - (server.nanoseconds - dbAtPrepareStart)) / 1e9;
        }
    });
    std::printf("%-38s %8s %8s %8s %8s %9s %8s %9s %6s %7s %7s %8s %6s\n", "informe", "total s", "base s",
                "módulo s", "págs s", "sola s", "sentenc.", "filas", "págs", "PDF s", "XLSX s", "pico MB", "meta");
    QList<int> types{4, 9, 0, 3, 2, 8, 5, 1, 6, 7, 10};
    if (argc > 5) {
        types.clear();
        for (const QString& t : QString::fromLocal8Bit(argv[5]).split(QLatin1Char(',')))
            types << t.toInt();
    }
    for (int type : types) {
        // The driver commissions read the commissions prototype, the invoice the billing one, the
        // reconciliation the payroll total.
        run.Prototipos = {type == 5 ? 7 : type == 6 ? 8 : 9};
        // A first run warms the database's caches, as a payroll department's day would: the second is
        // measured, and so is the replay after it, on equal terms.
        Despachar(dtm, rep, run, type);
        capture.last = report::PreparedReport();
        server.reset();
        preparing = 0;
        QElapsedTimer t;
        t.start();
        Despachar(dtm, rep, run, type);
        const double total = t.nsecsElapsed() / 1e9;
        const double db = server.nanoseconds / 1e9;
        const report::PreparedReport& prepared = capture.last;
        t.restart();
        report::PdfExporter::exportToFile(prepared, QDir::temp().filePath(QStringLiteral("bench_builders.pdf")));
        const double pdf = t.nsecsElapsed() / 1e9;
        t.restart();
        report::XlsxExporter::exportToFile(prepared, QDir::temp().filePath(QStringLiteral("bench_builders.xlsx")));
        const double xlsx = t.nsecsElapsed() / 1e9;
        const double alone = server.replay();
        // The caption padded by characters, not bytes: captions carry accents.
        const QString caption = ReportTypeAt(type)->Caption().leftJustified(38);
        // The goal: the run, page preparation aside, within 1.2 times the statements alone plus 0.3 s.
        std::printf("%s %8.2f %8.2f %8.2f %8.2f %9.2f %8d %9lld %6zu %7.2f %7.2f %8.0f %6s\n",
                    caption.toUtf8().constData(), total, db, total - db, preparing, alone, server.statements,
                    static_cast<long long>(server.rows), size_t(prepared.pageCount()), pdf, xlsx, peakMb(),
                    total - preparing <= 1.2 * alone + 0.3 ? "sí" : "no");
        capture.last = report::PreparedReport();
    }
    return 0;
}
