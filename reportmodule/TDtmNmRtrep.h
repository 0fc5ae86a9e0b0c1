// TDtmNmRtrep: the report module: the eleven layouts, the bindings through which they read the data
// module's datasets, and the report variables of a run. What showing a report means is the run's presenter;
// the host assigns the module a default one (Presenter) that the form hands to its runs.
#pragma once

#include "TfrxDBDataset.h"
#include "TfrxReport.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class ReportPresenter;
class TDtmNmRtgen;
struct TReportRun;

class TDtmNmRtrep : public QObject {
    Q_OBJECT
public:
    explicit TDtmNmRtrep(TDtmNmRtgen* data, QObject* parent = nullptr);
    ~TDtmNmRtrep() override;

    TDtmNmRtgen* DataModule() const { return m_data; }

    // --- layouts ---
    TfrxReport* frxRptRtgen = nullptr;
    TfrxReport* frxRptRpqGen = nullptr;
    TfrxReport* frxRptIngr = nullptr;
    TfrxReport* frxRptConNov = nullptr;
    TfrxReport* frxRptTotNomi = nullptr;
    TfrxReport* frxRptComisCdtor = nullptr;
    TfrxReport* frxRptFacturaEmpr = nullptr;
    TfrxReport* frxRptTempo = nullptr;
    TfrxReport* frxRptParafiscales = nullptr;
    TfrxReport* frxRptConva = nullptr;
    TfrxReport* frxRptGH = nullptr;
    const std::vector<TfrxReport*>& Reports() const { return m_reports; }
    TfrxReport* ReportByName(const QString& name) const;

    // --- dataset bindings, by the user names the layouts use ---
    // "QryGnEmpre" has no dataset of the module: it shows the run's company row while a layout prepares.
    const std::vector<std::unique_ptr<TfrxDBDataset>>& Bindings() const { return m_bindings; }
    TfrxDBDataset* BindingByUserName(const QString& userName) const;

    // --- report variables ---
    // Answers a variable request of any layout from the run (user code, period) and the data module;
    // names it does not know leave value untouched and return false.
    bool frxRptRtgenGetValue(const TReportRun& run, const QString& VarName, QVariant& Value) const;

    // --- preview handling: the presenter the host assigned (DwAsignarRptPreview) ---
    void SetPresenter(ReportPresenter* presenter) { m_presenter = presenter; }
    ReportPresenter* Presenter() const { return m_presenter; }

    // The layout documents and their shared fragments, from the module's resources.
    static QByteArray layoutXml(const QString& name);
    static QByteArray fragmentXml(const QString& name);

private:
    TDtmNmRtgen* m_data;
    std::vector<TfrxReport*> m_reports;
    std::vector<std::unique_ptr<TfrxDBDataset>> m_bindings;
    ReportPresenter* m_presenter = nullptr;
};
