// TDtmNmRtgen: the report data module, container of every dataset of the module.
//
// One instance per load, created before the report module and the form and destroyed after them. It owns
// the server queries (statements, typed parameters, persistent fields, provider and connection set), the
// in-memory result sets (fields declared, index set, open and empty), the data sources of the form's grids
// and the two strings of the current run. The declarations themselves live in DatasetCatalog.
#pragma once

#include "SClientDataSet.h"
#include "TClientDataSet.h"
#include "TDataSource.h"

#include <QHash>
#include <QPair>
#include <QObject>
#include <QString>
#include <vector>

class TRemoteServer;

class TDtmNmRtgen : public QObject {
    Q_OBJECT
public:
    // server: the form's connection, set as RemoteServer of every server query; may be null (tests).
    explicit TDtmNmRtgen(TRemoteServer* server, QObject* parent = nullptr);
    ~TDtmNmRtgen() override;

    // The dataset of that component name (server query or result set), or nullptr.
    TDataSet* dataSetByName(const QString& name) const;
    const std::vector<SClientDataSet*>& serverQueries() const { return m_serverQueries; }
    const std::vector<TClientDataSet*>& resultSets() const { return m_resultSets; }
    TRemoteServer* remoteServer() const { return m_server; }

    // The data half of the novelty-account display (the form swaps its grids to match): empties
    // CdsCueNoved and CdsCmpTotNomi; with Novedades re-opens QryNmPrtgeCn, the accounts of the novelty
    // reconciliation, for company codEmpr.
    void LlenarNoved(bool Novedades, int codEmpr);

    // Requisitions of the temporary-staff report: the territory names of the user company of each row, and
    // its requirements loaded into QrySlRepf whenever the row becomes current, so that the requirement
    // subreport always prints those of the requisition being printed.
    void QryRpTemporalesCalcFields(TDataSet& DataSet);
    void QryRpTemporalesAfterScroll(TDataSet& DataSet);
    // Display text of a document type code: C, E, R, T give CC, CE, RC, TI; anything else is empty.
    static QString NombreTipoDocumento(const QString& code);

    // Human management: the display texts of the four queries and of CdsGH (month, payroll kind, sex, civil
    // status, share of the company's headcount, payroll-class name).
    void QryGestionHumanaCalcFields(TDataSet& DataSet);
    void QrySeguridadSocialCalcFields(TDataSet& DataSet);
    void QryParafiscalesCalcFields(TDataSet& DataSet);
    void QryCmpTotNomiCalcFields(TDataSet& DataSet);
    void CdsGHCalcFields(TDataSet& DataSet);
    // Name of a payroll class in its own company, asked of the server once per (company, class) and kept
    // until OlvidarNombresTipoNomina, which each run of the report calls first. Empty for an unknown class.
    QString NombreTipoNomina(int codEmpr, int codTnom);
    void OlvidarNombresTipoNomina() { m_nombresTipoNomina.clear(); }
    static QString NombreMes(int month, int year);
    static QString NombreTipoNominaLetra(const QString& kind);
    // Sex and civil status as the human-management query names them (full) or as the report prints them.
    static QString NombreSexo(const QString& code, bool completo);
    static QString NombreEstadoCivil(const QString& code);

    // --- form and shared ---
    SClientDataSet* QryNmRtgen = nullptr;
    TDataSource* DtsNmRtgen = nullptr;
    SClientDataSet* QryNmTnomi = nullptr;
    TClientDataSet* CdsNmTnomi = nullptr;
    TDataSource* DtsNmTnomi = nullptr;
    SClientDataSet* QryNmTprot = nullptr;
    TClientDataSet* CdsNmTprot = nullptr;
    TDataSource* DtsNmTprot = nullptr;
    SClientDataSet* QryNmParin = nullptr;
    SClientDataSet* QryNmParam = nullptr;
    SClientDataSet* QryNmTnomi1 = nullptr;
    SClientDataSet* QryNmConce = nullptr;

    // --- 0 Conciliación de Nómina ---
    SClientDataSet* QryTotAcuNom = nullptr;
    SClientDataSet* QryAcumuNomAdmon = nullptr;
    SClientDataSet* QrySaldoOrvex = nullptr;
    SClientDataSet* QryAcumPreno = nullptr;
    TClientDataSet* CdsReporte = nullptr;

    // --- 1 Requisición de Personal ---
    SClientDataSet* QryTotRqpEst = nullptr;
    SClientDataSet* QryTotAspiCarg = nullptr;
    SClientDataSet* QryTotAspiContr = nullptr;
    SClientDataSet* QrySlReqpe = nullptr;
    TClientDataSet* CdsRqpReporte = nullptr;

    // --- 2 Ingresos, Retiros, Planta, Vacaciones ---
    SClientDataSet* QryPlanta = nullptr;
    SClientDataSet* QryPlantCarg = nullptr;
    SClientDataSet* QryIngresos = nullptr;
    SClientDataSet* QryIngreCarg = nullptr;
    SClientDataSet* QryRetiros = nullptr;
    SClientDataSet* QryRetirCarg = nullptr;
    SClientDataSet* QryNmVacac = nullptr;
    SClientDataSet* QryNmVacaCarg = nullptr;
    SClientDataSet* QryIncapacidades = nullptr;
    SClientDataSet* QryIncapCarg = nullptr;
    SClientDataSet* QryVacantes = nullptr;
    SClientDataSet* QryVacanCarg = nullptr;
    TClientDataSet* CdsRptIngrRet = nullptr;
    TClientDataSet* CdsRptIngrRetCg = nullptr;

    // --- 3 Conciliación de Novedades ---
    SClientDataSet* QryNmPrtgeCn = nullptr;
    TDataSource* DtsCueNoved = nullptr;
    SClientDataSet* QryNmNoved = nullptr;
    SClientDataSet* QryNmCinca = nullptr;
    TClientDataSet* CdsCueNoved = nullptr;
    TClientDataSet* CdsNomxPag = nullptr;

    // --- 4 Valor Nómina Centro de Costos ---
    SClientDataSet* QryTotNomi = nullptr;
    TClientDataSet* CdsTotNomi = nullptr;

    // --- 5 Comisiones Conductores ---
    SClientDataSet* QryComisCdtor = nullptr;
    SClientDataSet* QryComisMante = nullptr;
    TClientDataSet* CdsComisCdtor = nullptr;

    // --- 6 Factura Empresa Usuaria ---
    SClientDataSet* QryFacturaEmpr = nullptr;
    TClientDataSet* CdsFacturaEmpr = nullptr;

    // --- 7 Temporales ---
    SClientDataSet* QryEmplTemp = nullptr;
    SClientDataSet* QryEmplNoTemp = nullptr;
    TClientDataSet* CdsEmpTemp = nullptr;
    SClientDataSet* QryRpTemporales = nullptr;
    SClientDataSet* QryGnDivip = nullptr;
    SClientDataSet* QrySlRepf = nullptr;

    // --- 8 Parafiscales ---
    SClientDataSet* QryNmPrtgePf = nullptr;
    SClientDataSet* QryAutol = nullptr;
    SClientDataSet* QryNmPropa = nullptr;
    TClientDataSet* CdsParafiscales = nullptr;

    // --- 9 Consolidado Vacaciones ---
    SClientDataSet* QryNmConva = nullptr;

    // --- 10 Gestión Humana ---
    SClientDataSet* QryGestionHumana = nullptr;
    SClientDataSet* QrySeguridadSocial = nullptr;
    SClientDataSet* QryParafiscales = nullptr;
    SClientDataSet* QryCmpTotNomi = nullptr;
    SClientDataSet* QryGHActivos = nullptr;
    TClientDataSet* CdsGH = nullptr;
    TClientDataSet* CdsSeguridadSocial = nullptr;
    TClientDataSet* CdsPrfsGH = nullptr;
    TClientDataSet* CdsCmpTotNomi = nullptr;

    // Observations typed for the current run (set by the builders of report types 0 and 3).
    QString gStObsErva;
    // Account code of the current run (trimmed account edit, set by the validation for report type 0).
    QString gStCodCuen;

private:
    TRemoteServer* m_server;
    std::vector<SClientDataSet*> m_serverQueries;
    std::vector<TClientDataSet*> m_resultSets;
    QHash<QString, TDataSet*> m_byName;
    QHash<QPair<int, int>, QString> m_nombresTipoNomina;
};
