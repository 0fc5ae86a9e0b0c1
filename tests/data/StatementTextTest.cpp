// The fixed statement texts: each names exactly the parameters its query declares, is well formed enough
// for the dialect translator (balanced parentheses and quotes), keeps the fragments that the system's
// texts fix word for word, and no statement file is left without a query.
#include "DatasetCatalog.h"
#include "GeneralError.h"
#include "Providers.h"
#include "SClientDataSet.h"
#include "TDtmNmRtgen.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>


namespace {

QStringList upperSorted(QStringList names) {
    for (QString& name : names)
        name = name.toUpper();
    names.sort();
    return names;
}

QString statementOf(const QString& provider) {
    return statementLines(provider).join(QLatin1Char('\n'));
}

// Blanks carry no meaning in the statements: compare with every run of blanks made one.
QString collapsed(const QString& text) {
    return text.simplified();
}

// Empty when parentheses nest and close and every quote is closed; otherwise what is wrong.
QString structureFault(const QString& text) {
    int depth = 0;
    bool inString = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inString) {
            if (c == QLatin1Char('\''))
                inString = false;
            continue;
        }
        if (c == QLatin1Char('\''))
            inString = true;
        else if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && --depth < 0)
            return QStringLiteral("')' sin abrir en la posición %1").arg(i);
    }
    if (inString)
        return QStringLiteral("comilla sin cerrar");
    if (depth != 0)
        return QStringLiteral("%1 paréntesis sin cerrar").arg(depth);
    return {};
}

class FixedStatement : public ::testing::TestWithParam<QString> {};

} // namespace

TEST_P(FixedStatement, NamesExactlyTheDeclaredParameters) {
    TDtmNmRtgen dtm(nullptr);
    const QString provider = GetParam();
    auto* query = qobject_cast<SClientDataSet*>(dtm.dataSetByName(QStringLiteral("Qry") + provider.mid(4)));
    ASSERT_NE(query, nullptr);
    QStringList declared;
    for (int i = 0; i < query->Params().Count(); ++i)
        declared << query->Params()[i].Name();
    EXPECT_EQ(upperSorted(parameterNamesOf(query->SQL().join(QLatin1Char('\n')))), upperSorted(declared));
    // The query holds the file's text, line for line.
    EXPECT_EQ(query->SQL(), statementLines(provider));
}

TEST_P(FixedStatement, IsWellFormed) {
    const QString text = statementOf(GetParam());
    EXPECT_EQ(structureFault(text), QString());
    EXPECT_TRUE(text.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive));
    EXPECT_FALSE(text.contains(QLatin1Char(';')));
}

INSTANTIATE_TEST_SUITE_P(DataModule, FixedStatement, ::testing::ValuesIn(fixedStatementProviders()),
                         [](const ::testing::TestParamInfo<QString>& info) {
                             return info.param.toStdString();
                         });

TEST(StatementFiles, EveryFileBelongsToAProviderWithAStatement) {
    QStringList expected = fixedStatementProviders();
    expected << QStringLiteral("DtsPNmTprot");
    QStringList present;
    for (const QString& file : QDir(QStringLiteral(":/sql")).entryList(QDir::Files))
        present << file.chopped(4);
    EXPECT_EQ(upperSorted(present), upperSorted(expected));
}

TEST(StatementFiles, MissingStatementIsReportedByProvider) {
    try {
        statementLines(QStringLiteral("DtsPNoExiste"));
        FAIL() << "no error for a provider without statement";
    } catch (const GeneralError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("No se encontró la sentencia del proveedor DtsPNoExiste."));
    }
}

// The payroll value by cost centre adds both sources in memory, so the union must keep a row of each
// source even when both hold the same figures, and return a cost centre's rows together (the layout starts
// a group each time the cost centre changes).
TEST(StatementFiles, CostCentreUnionKeepsRowsOfBothSources) {
    const QString text = collapsed(statementOf(QStringLiteral("DtsPTotNomi")));
    EXPECT_EQ(text.count(QLatin1String("UNION ALL (")), 1);
    EXPECT_EQ(text.count(QLatin1String("UNION")), 1);
    const qsizetype unionAt = text.indexOf(QLatin1String("UNION ALL ("));
    EXPECT_TRUE(text.left(unionAt).contains(QLatin1String("FROM NM_PRENO A,")));
    EXPECT_TRUE(text.mid(unionAt).contains(QLatin1String("FROM NM_ACUMU A,")));
    EXPECT_TRUE(text.endsWith(QLatin1String(") ORDER BY COD_CCOS, COD_TNOM")));
}

namespace {

struct Fragment {
    const char* provider;
    const char* text;
};

void PrintTo(const Fragment& f, std::ostream* os) {
    *os << f.provider << ": " << f.text;
}

class VerbatimFragment : public ::testing::TestWithParam<Fragment> {};

} // namespace

TEST_P(VerbatimFragment, IsInTheStatement) {
    const Fragment f = GetParam();
    EXPECT_TRUE(collapsed(statementOf(QString::fromLatin1(f.provider)))
                    .contains(collapsed(QString::fromUtf8(f.text))))
        << f.provider << ": " << f.text;
}

INSTANTIATE_TEST_SUITE_P(
    DataModule, VerbatimFragment,
    ::testing::Values(
        Fragment{"DtsPNmRtgen", "WHERE 1 = 0"},
        Fragment{"DtsPNmTnomi1",
                 "select nom_tnom from nm_tnomi where cod_empr = :cod_empr and cod_tnom = :cod_tnom"},
        Fragment{"DtsPNmConce",
                 "select cod_conc from nm_proto where cod_empr = :cod_empr and cod_prot = :cod_prot"},
        Fragment{"DtsPNmPrtgeCn", "TIP_PARA = 'CN'"}, Fragment{"DtsPNmPrtgePf", "TIP_PARA = 'PF'"},
        Fragment{"DtsPSaldoOrvex",
                 "WHEN NAT_CUEN = 'C' THEN SUM(VAL_CRED-VAL_DEBI) ELSE SUM(VAL_DEBI-VAL_CRED) END AS SALDO"},
        Fragment{"DtsPSaldoOrvex", "AND MES_ACUM < :P_MES_ACUM"},
        Fragment{"DtsPTotRqpEst", "LTRIM (RTRIM (CR.NOM_CARG)) AS NOM_CARG"},
        Fragment{"DtsPTotAspiCarg", "SELECT COUNT (CA.COD_ASPI) AS TOT_ASPI"},
        Fragment{"DtsPTotAspiContr", "(CT.IND_ACTI = 'A')"},
        Fragment{"DtsPPlanta", "COUNT (DISTINCT CAST(COD_EMPL AS VARCHAR) + COD_CARG) AS CONTEO"},
        Fragment{"DtsPPlanta", "NOT (COD_CARG IS NULL)"},
        Fragment{"DtsPNmVacac", "COUNT (DISTINCT CAST(C.COD_EMPL AS VARCHAR) + C.COD_CARG) AS CONTEO"},
        Fragment{"DtsPRetiros", "((IND_ACTI = 'I') OR (IND_ACTI = 'R'))"},
        Fragment{"DtsPRetirCarg", "COUNT (DISTINCT CT.COD_EMPL) AS CONTEO"},
        Fragment{"DtsPVacantes", "COUNT (CAST (PL.COD_EMPL AS VARCHAR) + PL.COD_CARG) AS CONTEO"},
        Fragment{"DtsPVacantes", "EXISTS (SELECT COD_CARG FROM NM_CONTR CT"},
        Fragment{"DtsPVacanCarg", "GROUP BY PL.COD_CARG, CG.NOM_CARG"},
        Fragment{"DtsPNmNoved", "SELECT SUM (N.SAL_NOVE) AS SAL_NOVE"},
        Fragment{"DtsPNmCinca", "(DIF_DOCT > 0)"},
        Fragment{"DtsPTotNomi",
                 "SUM (CASE WHEN C.TIP_CONC = 'E' THEN A.VAL_ACUM * - 1 WHEN C.TIP_CONC = 'I' THEN "
                 "A.VAL_ACUM END) AS VAL_ACUM"},
        Fragment{"DtsPTotNomi", "GROUP BY A.COD_CCOS, CC.NOM_CCOS, A.COD_TNOM, TN.NOM_TNOM"},
        Fragment{"DtsPEmplTemp",
                 "UPPER (LTRIM (RTRIM (EMP.NOM_EMPR))) LIKE UPPER (LTRIM(RTRIM(GN.NOM_NIVE))) + '%'"},
        Fragment{"DtsPEmplTemp", "ORDER BY CT.IND_ACTI, CT.FEC_INGR"},
        Fragment{"DtsPEmplNoTemp", "(CA.EST_SELE = 'N') AND (CA.DES_GERE = 'N')"},
        Fragment{"DtsPRpTemporales", "SUM (RQ.NRO_PLAZ) AS NRO_PLAZ"},
        Fragment{"DtsPRpTemporales", "ORDER BY RQ.FEC_SOLI"}, Fragment{"DtsPGnDivip", "(COD_LOCA = 0)"},
        Fragment{"DtsPSlRepf", "(PF.COD_REGI = 'E')"},
        Fragment{"DtsPAutol", "SUM (AL.CSA_EMPL + AL.CSA_PATR) AS EPS_APOR"},
        Fragment{"DtsPAutol",
                 "((CT.IND_ACTI = 'A') OR ((CT.IND_ACTI = 'I') AND (CT.FEC_DEJA >= :P_FEC_INIC))) AND"},
        Fragment{"DtsPNmPropa", "SUM (PR.VAL_LIQU) AS VAR_LIQU"},
        Fragment{"DtsPNmConva", "SELECT BAS_LIQU, DIA_CONS, VAC_CONS FROM NM_CONVA"},
        Fragment{"DtsPGestionHumana", "(SELECT COUNT (BEM.COD_EMPL)"},
        Fragment{"DtsPGestionHumana", "ORDER BY BE.COD_EMPR"},
        Fragment{"DtsPSeguridadSocial", "DATEPART (YEAR, A.FEC_PROC) AS ANO_PROC"},
        Fragment{"DtsPSeguridadSocial", "(A.FEC_PROC >=:P_FEC_INIC)"},
        Fragment{"DtsPParafiscales", "(BP.IND_PROV = 'A')"}),
    [](const ::testing::TestParamInfo<Fragment>& info) {
        return std::string(info.param.provider) + "_" + std::to_string(info.index);
    });
