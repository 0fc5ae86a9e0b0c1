#include "BuilderSupport.h"

#include "SClientDataSet.h"
#include "TDataSet.h"

#include <QStringList>
#include <cmath>

namespace builders {

QString ListaTiposNomina(const QString& letters) {
    QStringList items;
    for (const QChar c : QStringLiteral("NADCXPV"))
        if (letters.contains(c, Qt::CaseInsensitive))
            items << QLatin1Char('\'') + c + QLatin1Char('\'');
    return items.join(QLatin1Char(','));
}

QString ListaCodigos(const QList<int>& codes) {
    QStringList items;
    for (int code : codes)
        items << QString::number(code);
    return items.join(QLatin1Char(','));
}

QStringList ConceptosDePrototipos(SClientDataSet& qryNmConce, int company, const QList<int>& prototypes) {
    QStringList concepts;
    for (int prot : prototypes) {
        qryNmConce.Close();
        qryNmConce.ParamByName(QStringLiteral("cod_empr")).SetAsSmallInt(company);
        qryNmConce.ParamByName(QStringLiteral("cod_prot")).SetAsSmallInt(prot);
        qryNmConce.Open();
        for (qryNmConce.First(); !qryNmConce.Eof(); qryNmConce.Next())
            concepts << QString::number(qryNmConce.FieldByName(QStringLiteral("cod_conc")).AsInteger());
    }
    return concepts;
}

double SaldoNetoNomina(TDataSet& dataSet) {
    const TField* tipo = dataSet.FindField(QStringLiteral("TIP_CONC"));
    double total = 0;
    for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) {
        const double value = dataSet.FieldByName(QStringLiteral("VAL_ACUM")).AsFloat();
        if (tipo && tipo->AsString() == QLatin1String("E"))
            total -= value;
        else
            total += value;
    }
    return total;
}

double SaldoNetoNoved(TDataSet& dataSet) { return std::fabs(SaldoNetoNomina(dataSet)); }

double SaldoContable(SClientDataSet& qry, int company, TDateTime endDate, const QString& account) {
    qry.Close();
    qry.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsSmallInt(company);
    qry.ParamByName(QStringLiteral("P_ANO_ACUM")).SetAsSmallInt(endDate.year());
    qry.ParamByName(QStringLiteral("P_MES_ACUM")).SetAsSmallInt(endDate.month() + 1);
    qry.ParamByName(QStringLiteral("P_COD_CUEN")).SetAsString(account);
    qry.Open();
    if (qry.IsEmpty())
        return 0;
    qry.First();
    return qry.FieldByName(QStringLiteral("SALDO")).AsFloat();
}

QString SqlNetoPorTipoConcepto(const QString& filters) {
    const auto branch = [&](const char* table) {
        return QStringLiteral("SELECT C.TIP_CONC, SUM (P.VAL_ACUM) AS VAL_ACUM "
                              "FROM %1 P, NM_PROTO PR, NM_CONCE C "
                              "WHERE (P.COD_EMPR = C.COD_EMPR) AND (P.COD_CONC = C.COD_CONC) AND "
                              "(P.COD_EMPR = PR.COD_EMPR) AND (P.COD_CONC = PR.COD_CONC) AND "
                              "(C.COD_EMPR = PR.COD_EMPR) AND (C.COD_CONC = PR.COD_CONC) AND "
                              "(P.COD_EMPR = :P_COD_EMPR) AND (P.FEC_ACUM >= :P_FEC_INIC) AND "
                              "(P.FEC_ACUM <= :P_FEC_FINA) AND %2 "
                              "GROUP BY C.TIP_CONC")
            .arg(QLatin1String(table), filters);
    };
    return branch("NM_PRENO") + QStringLiteral(" UNION ALL (") + branch("NM_ACUMU") + QStringLiteral(" ) ");
}

void AbrirPeriodo(SClientDataSet& query, int company, TDateTime from, TDateTime to) {
    query.Close();
    query.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsInteger(company);
    query.ParamByName(QStringLiteral("P_FEC_INIC")).SetAsDateTime(from);
    query.ParamByName(QStringLiteral("P_FEC_FINA")).SetAsDateTime(to);
    query.Open();
}

} // namespace builders
