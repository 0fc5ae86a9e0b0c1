// TReportRun: one run of a report, as whoever starts it describes it: the form, the batch command, the
// plug-in's host or a test builds one, fills it, and hands it to the builders and the report module, which
// only read it. It holds no widgets: what differs between a desktop, a terminal and a test (how to ask for
// observations, how to show progress, what showing a report means) comes in through the two interfaces at
// the end, so a run is described the same way everywhere and nothing is wired into long-lived objects.
#pragma once

#include "TDateTime.h"
#include "TProcessProgress.h"

#include <QList>
#include <QString>
#include <memory>

class ReportPresenter;
class TDataSet;

// What the place a run starts from supplies while the run goes on.
class TRunHost {
public:
    virtual ~TRunHost() = default;
    // The observations dialog (report types 0 and 3): the accepted text, or empty when the user cancelled.
    virtual QString PedirObservaciones() = 0;
    // A new progress display for one run (report types 6, 7 and 10); nullptr shows none.
    virtual std::unique_ptr<TProcessProgress> CrearProgreso() = 0;
};

struct TReportRun {
    // The current company: the application object's Tag when the run started.
    int CodEmpr = 0;
    // Who signs the report (see Firmante).
    QString CodiUsua;
    // The period, both days whole.
    TDateTime gDtFecInic;
    TDateTime gDtFecFina;
    // The checked payroll kinds as letters in the fixed order N, A, D, C, X, P, V ("NAV").
    QString TiposNomina;
    // The chosen payroll classes and prototypes, as codes in the order of their lists.
    QList<int> Clases;
    QList<int> Prototipos;
    // The account to reconcile (report type 0).
    QString CodCuen;
    // The company's row (NOM_EMPR, NIT_EMPR, BMP_REPO) that page headers print; may be nullptr.
    TDataSet* CdsGnEmpre = nullptr;

    TRunHost* Host = nullptr;
    // Shows each prepared report; a run without one cannot show anything.
    ReportPresenter* Presenter = nullptr;

    // What the builders ask of the host; without one, no observations and no progress display.
    QString PedirObservaciones() const { return Host ? Host->PedirObservaciones() : QString(); }
    std::unique_ptr<TProcessProgress> CrearProgreso() const { return Host ? Host->CrearProgreso() : nullptr; }

    // The user code signs; without one (a host that only passes the load's connection), the connection's user.
    static QString Firmante(const QString& codiUsua, const QString& usuarioConexion) {
        return codiUsua.isEmpty() ? usuarioConexion : codiUsua;
    }
};
