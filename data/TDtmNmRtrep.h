// TDtmNmRtrep: the report module: the eleven layouts, the bindings through which they read the data
// module's datasets, the report variables and their handler, and the presenter that decides what showing
// a report means (preview, files, capture).
#pragma once

#include "TDateTime.h"
#include "TfrxDBDataset.h"
#include "TfrxReport.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class ReportPresenter;
class TDataSet;
class TDtmNmRtgen;

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
    const std::vector<std::unique_ptr<TfrxDBDataset>>& Bindings() const { return m_bindings; }
    TfrxDBDataset* BindingByUserName(const QString& userName) const;
    // The base form's company dataset (NOM_EMPR, NIT_EMPR, BMP_REPO), bound as "QryGnEmpre".
    void SetCompanyDataSet(TDataSet* cdsGnEmpre);

    // --- report variables ---
    // Values of the current run, supplied by the form: the user code and the period.
    std::function<QString()> CodiUsua;
    std::function<TDateTime()> FecInic;
    std::function<TDateTime()> FecFina;
    // Answers a variable request of any layout; names it does not know leave value untouched and
    // return false.
    bool frxRptRtgenGetValue(const QString& VarName, QVariant& Value) const;

    // --- preview handling ---
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
