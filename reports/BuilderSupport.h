// Pieces the report builders share: the list texts that go into rebuilt statements, the signed net of
// payroll values, the ledger balance of an account, and the two-source statement of net payroll by
// concept type.
#pragma once

#include "TDateTime.h"

#include <QList>
#include <QString>
#include <QStringList>

class SClientDataSet;
class TDataSet;
class TDtmNmRtgen;

namespace builders {

// The checked payroll kinds as quoted letters joined by "," in the order N, A, D, C, X, P, V:
// "NP" -> "'N','P'".
QString ListaTiposNomina(const QString& letters);
// Codes as decimal text joined by ",", in their order: "1,3,10".
QString ListaCodigos(const QList<int>& codes);

// The concepts of the prototypes (QryNmConce opened once per prototype, in order) as decimal texts; a
// concept of two prototypes appears twice, which an IN list does not mind.
QStringList ConceptosDePrototipos(SClientDataSet& qryNmConce, int company, const QList<int>& prototypes);

// Closes query, sets the company and the period (P_COD_EMPR, P_FEC_INIC, P_FEC_FINA) and opens it.
void AbrirPeriodo(SClientDataSet& query, int company, TDateTime from, TDateTime to);

// The signed net of VAL_ACUM over every row of an open dataset: rows whose TIP_CONC is "E" subtract,
// all others add; a dataset without TIP_CONC is summed plainly. 0 for an empty dataset.
double SaldoNetoNomina(TDataSet& dataSet);
// The same net as a positive amount (the novelty reconciliation shows balances without sign).
double SaldoNetoNoved(TDataSet& dataSet);

// The ledger balance of account in company up to the end of the month of endDate (every month of its
// year up to and including that one; December passes month 13): SALDO of the first row, 0 without rows.
double SaldoContable(SClientDataSet& qrySaldoOrvex, int company, TDateTime endDate, const QString& account);

// Net payroll by concept type over both payroll sources in the period: two branches of the same shape,
// pre-payroll then accumulated payroll, joined by UNION ALL so that equal figures in both sources add up.
// filters: the conditions after the joins and the period, joined with AND (e.g. "(P.COD_TNOM = :P_COD_TNOM)").
QString SqlNetoPorTipoConcepto(const QString& filters);

} // namespace builders
