#include "DatabaseBackend.h"
#include "ExecutionFixture.h"
#include "GeneralError.h"
#include "TestSupport.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <algorithm>

namespace {

const QString kProvider = QStringLiteral("DtsPPrueba");
const QString kDatabaseError = QStringLiteral("Error del servidor de base de datos: ");

// The two-source statement of the payroll totals: one branch per source table, the second in
// parentheses, each parameter once per branch.
QString twoSourceTotals() {
    const QString branch = QStringLiteral(
        "SELECT C.TIP_CONC, SUM (P.VAL_ACUM) AS VAL_ACUM FROM %1 P, NM_PROTO PR, NM_CONCE C "
        "WHERE (P.COD_EMPR = PR.COD_EMPR) AND (P.COD_CONC = PR.COD_CONC) AND (P.COD_EMPR = C.COD_EMPR) AND "
        "(P.COD_CONC = C.COD_CONC) AND (P.COD_EMPR = :P_COD_EMPR) AND (P.FEC_ACUM >= :P_FEC_INIC) AND "
        "(P.FEC_ACUM <= :P_FEC_FINA) AND (PR.COD_PROT IN (1)) AND (P.TIP_NOMI IN ('N','V')) "
        "GROUP BY C.TIP_CONC");
    return branch.arg(QStringLiteral("NM_PRENO")) + QStringLiteral(" UNION (") +
           branch.arg(QStringLiteral("NM_ACUMU")) + QStringLiteral(" ) ");
}

QStringList sorted(QStringList rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

void createFixtureTables(TestDatabase& db) {
    const char* const statements[] = {
        "CREATE TABLE GN_EMPRE (COD_EMPR SMALLINT NOT NULL, NOM_EMPR VARCHAR(60), PRIMARY KEY (COD_EMPR))",
        "INSERT INTO GN_EMPRE VALUES (1, 'TEMPORALES ANDINOS S.A.'), (2, 'Logística del Valle Ltda'), "
        "(3, 'CONSTRUCTORA SUR')",

        "CREATE TABLE SL_GRSEL (COD_EMPR SMALLINT, COD_GRSE SMALLINT, DES_GRSE VARCHAR(40))",
        "INSERT INTO SL_GRSEL VALUES (1, 1, '  logística del valle '), (1, 2, 'Temporales'), "
        "(1, 3, 'Inexistente')",

        "CREATE TABLE NM_CONCE (COD_EMPR SMALLINT, COD_CONC SMALLINT, NOM_CONC VARCHAR(40), TIP_CONC "
        "CHAR(1))",
        "INSERT INTO NM_CONCE VALUES (1, 10, 'SUELDO', 'I'), (1, 20, 'SALUD', 'E'), "
        "(1, 30, 'PROVISION', 'P'), (2, 10, 'SUELDO', 'I'), (2, 20, 'SALUD', 'E')",

        "CREATE TABLE NM_PROTO (COD_EMPR SMALLINT, COD_CONC SMALLINT, COD_PROT SMALLINT)",
        "INSERT INTO NM_PROTO VALUES (1, 10, 1), (1, 20, 1), (1, 30, 2), (2, 10, 1), (2, 20, 1)",

        "CREATE TABLE NM_PRENO (COD_EMPR SMALLINT, COD_EMPL INTEGER, COD_CONC SMALLINT, FEC_ACUM TIMESTAMP, "
        "TIP_NOMI CHAR(1), COD_TNOM SMALLINT, VAL_ACUM DOUBLE PRECISION)",
        "INSERT INTO NM_PRENO VALUES (1, 101, 10, '2024-01-15', 'N', 1, 1000), "
        "(1, 101, 20, '2024-01-15', 'N', 1, 80), (1, 102, 10, '2024-01-31', 'N', 1, 500), "
        "(1, 102, 10, '2023-12-31', 'N', 1, 7000), (1, 102, 10, '2024-01-20', 'A', 1, 6000), "
        "(2, 201, 10, '2024-01-15', 'N', 1, 9999)",

        "CREATE TABLE NM_ACUMU (COD_EMPR SMALLINT, COD_EMPL INTEGER, COD_CONC SMALLINT, FEC_ACUM TIMESTAMP, "
        "TIP_NOMI CHAR(1), COD_TNOM SMALLINT, VAL_ACUM DOUBLE PRECISION)",
        "INSERT INTO NM_ACUMU VALUES (1, 101, 10, '2024-01-01', 'N', 1, 2000), "
        "(1, 101, 20, '2024-01-01', 'N', 1, 160), (1, 103, 10, '2024-02-01', 'N', 1, 3000), "
        "(1, 103, 10, '2024-01-31 10:30:00', 'N', 1, 400), (2, 201, 20, '2024-01-20', 'N', 1, 8888)",

        "CREATE TABLE NM_CONTR (COD_EMPR SMALLINT, COD_EMPL INTEGER, NRO_CONT SMALLINT, COD_CARG "
        "VARCHAR(6), COD_TNOM SMALLINT, IND_ACTI CHAR(1))",
        "INSERT INTO NM_CONTR VALUES (1, 101, 1, 'A1', 1, 'A'), (1, 101, 2, 'A1', 1, 'A'), "
        "(1, 101, 3, 'B2', 1, 'A'), (1, 102, 1, 'A1', 1, 'A'), (1, 104, 1, NULL, 1, 'A'), "
        "(2, 201, 1, 'A1', 1, 'A')",

        "CREATE TABLE BI_CARGO (COD_EMPR SMALLINT, COD_CARG VARCHAR(6), NOM_CARG VARCHAR(40))",
        "INSERT INTO BI_CARGO VALUES (1, 'A1', 'CONDUCTOR'), (1, 'B2', 'MECANICO')",

        "CREATE TABLE AC_PLANT (COD_EMPR SMALLINT, COD_EMPL INTEGER, COD_CARG VARCHAR(6))",
        "INSERT INTO AC_PLANT VALUES (1, 0, 'A1'), (1, 0, 'A1'), (1, 0, 'C3'), (1, 101, 'A1'), (2, 0, 'A1')",

        "CREATE TABLE NM_AUTOL (COD_EMPR SMALLINT, COD_EMPL INTEGER, FEC_PROC TIMESTAMP, CSA_EMPL DOUBLE "
        "PRECISION, CSA_PATR DOUBLE PRECISION)",
        "INSERT INTO NM_AUTOL VALUES (1, 101, '2024-01-31', 100, 250), "
        "(1, 102, '2024-01-05 08:00:00', 10, 25), (1, 101, '2024-02-29', 100, 250), "
        "(2, 201, '2024-01-31', 1, 1)",
    };
    for (const char* s : statements)
        db.write(QString::fromUtf8(s));
}

void ServerExecution::SetUp() {
    makeTestDatabase(m_database);
    if (IsSkipped() || HasFatalFailure())
        return;
    m_connection = std::make_unique<SDCOMConnection>(QStringLiteral("DCOMCnction"));
    m_connection->Providers().add(kProvider);
    ASSERT_NO_THROW(m_connection->Open(m_database->params()));
    m_params.Add(QStringLiteral("P_COD_EMPR"), TFieldType::ftSmallint).SetAsSmallInt(1);
    m_params.Add(QStringLiteral("P_FEC_INIC"), TFieldType::ftDateTime)
        .SetAsDateTime(TDateTime::encodeDate(2024, 1, 1));
    m_params.Add(QStringLiteral("P_FEC_FINA"), TFieldType::ftDateTime)
        .SetAsDateTime(TDateTime::encodeDate(2024, 1, 31));
    m_params.Add(QStringLiteral("P_COD_TNOM"), TFieldType::ftSmallint).SetAsSmallInt(1);
}

void ServerExecution::TearDown() {
    m_connection.reset();
    m_database.reset();
}

TResultSet ServerExecution::run(const QString& provider, const QString& statement) {
    try {
        return m_connection->Execute(provider, statement, m_params);
    } catch (const GeneralError& e) {
        ADD_FAILURE() << e.message().toStdString() << "\nstatement: " << statement.toStdString();
        return TResultSet();
    }
}

QStringList ServerExecution::rowsOf(const TResultSet& result) {
    QStringList rows;
    for (const QVariantList& row : result.rows) {
        QStringList cells;
        for (qsizetype c = 0; c < row.size(); ++c) {
            const QVariant& v = row[c];
            if (!v.isValid())
                cells << QStringLiteral("NULL");
            else if (result.columns[static_cast<size_t>(c)].type == TFieldType::ftDateTime)
                cells << TDateTime(v.toDouble()).toIso();
            else if (v.metaType().id() == QMetaType::QString)
                cells << v.toString().remove(QRegularExpression(QStringLiteral(" +$")));
            else
                cells << QString::number(v.toDouble(), 'g', 15);
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

void ServerExecution::expectRefused(const QString& provider, const QString& statement,
                                    const QString& message) {
    EXPECT_EQ(testsupport::errorOf([&] { m_connection->Execute(provider, statement, m_params); }), message)
        << statement.toStdString();
}

// Statements of the suite's dialect and the rows they must give on the fixture, whatever the backend.
TEST_F(ServerExecution, DialectStatementsGiveTheirRows) {
    m_params.Add(QStringLiteral("COD_PROT"), TFieldType::ftSmallint).SetAsSmallInt(1);
    const QString unionBranch = QStringLiteral(
        "SELECT CT.COD_EMPL, CT.COD_CARG, SUM (A.VAL_ACUM) AS VAL_ACUM FROM NM_CONTR CT, %1 A "
        "WHERE (CT.COD_EMPR = A.COD_EMPR) AND (CT.COD_EMPL = A.COD_EMPL) AND (CT.NRO_CONT = 1) AND "
        "(A.COD_EMPR = :P_COD_EMPR) AND (A.FEC_ACUM >= :P_FEC_INIC) AND (A.FEC_ACUM <= :P_FEC_FINA) AND "
        "(A.TIP_NOMI IN ('N')) GROUP BY CT.COD_EMPL, CT.COD_CARG");
    const struct {
        const char* name;
        QString sql;
        QStringList rows; // sorted when the statement gives no order
    } cases[] = {
        // Company 1 only; the whole of January (10:30 on the 31st included); kind A and the concept of
        // prototype 2 left out.
        {"parameters repeated in both union branches",
         twoSourceTotals(),
         {"E|160", "E|80", "I|1500", "I|2400"}},
        {"union drops rows equal in both branches",
         "SELECT COD_CONC FROM NM_PRENO WHERE COD_EMPR = :P_COD_EMPR UNION ( SELECT COD_CONC FROM NM_ACUMU "
         "WHERE COD_EMPR = :P_COD_EMPR ) ORDER BY COD_CONC",
         {"10", "20"}},
        // Numeric addition would collapse 101+'A1' and 101+'B2' into one value and count 2.
        {"text concatenation in a distinct count",
         "SELECT COUNT (DISTINCT CAST(COD_EMPL AS VARCHAR) + COD_CARG) AS CONTEO FROM NM_CONTR "
         "WHERE (COD_EMPR = :P_COD_EMPR) AND (COD_TNOM = :P_COD_TNOM) AND NOT (COD_CARG IS NULL)",
         {"3"}},
        // Nothing in the statement says these columns hold text: the schema does.
        {"text columns of the schema concatenate",
         "SELECT CG.COD_CARG + CG.NOM_CARG AS ETIQUETA FROM BI_CARGO CG WHERE CG.COD_EMPR = :P_COD_EMPR "
         "ORDER BY CG.COD_CARG",
         {"A1CONDUCTOR", "B2MECANICO"}},
        {"name starts like a group description",
         "SELECT GS.COD_GRSE, EMP.COD_EMPR FROM SL_GRSEL GS INNER JOIN GN_EMPRE EMP ON UPPER (LTRIM (RTRIM "
         "(EMP.NOM_EMPR))) LIKE UPPER (LTRIM(RTRIM(GS.DES_GRSE))) + '%' WHERE (GS.COD_EMPR = :P_COD_EMPR) "
         "ORDER BY GS.COD_GRSE",
         {"1|2", "2|1"}},
        {"signed sum per concept type",
         "SELECT A.COD_EMPL, SUM (CASE WHEN C.TIP_CONC = 'E' THEN A.VAL_ACUM * - 1 WHEN C.TIP_CONC = 'I' "
         "THEN A.VAL_ACUM END) AS VAL_ACUM FROM NM_ACUMU A, NM_CONCE C WHERE (A.COD_EMPR = C.COD_EMPR) AND "
         "(A.COD_CONC = C.COD_CONC) AND (A.COD_EMPR = :P_COD_EMPR) GROUP BY A.COD_EMPL ORDER BY A.COD_EMPL",
         {"101|1840", "103|3400"}},
        {"date parts group and numeric plus adds",
         "SELECT DATEPART (YEAR, A.FEC_PROC) AS ANO_PROC, DATEPART (Month, A.FEC_PROC) AS MES_PROC, SUM "
         "(A.CSA_EMPL + A.CSA_PATR) AS TOT_SALU FROM NM_AUTOL A WHERE A.COD_EMPR = :P_COD_EMPR GROUP BY "
         "DATEPART (YEAR, A.FEC_PROC), DATEPART (Month, A.FEC_PROC) ORDER BY DATEPART (YEAR, A.FEC_PROC), "
         "DATEPART (Month, A.FEC_PROC)",
         {"2024|1|385", "2024|2|350"}},
        {"order by qualified names after a union",
         unionBranch.arg(QStringLiteral("NM_PRENO")) + QStringLiteral(" UNION ") +
             unionBranch.arg(QStringLiteral("NM_ACUMU")) +
             QStringLiteral(" ORDER BY CT.COD_EMPL, CT.COD_CARG, VAL_ACUM "),
         {"101|A1|1080", "101|A1|2160", "102|A1|500"}},
        {"exists",
         "SELECT COUNT (CAST (PL.COD_EMPL AS VARCHAR) + PL.COD_CARG) AS CONTEO FROM AC_PLANT PL WHERE "
         "(PL.COD_EMPR = :P_COD_EMPR) AND (PL.COD_EMPL = 0) AND EXISTS (SELECT COD_CARG FROM NM_CONTR CT "
         "WHERE CT.COD_EMPR = PL.COD_EMPR AND CT.COD_CARG = PL.COD_CARG AND CT.COD_TNOM = :P_COD_TNOM)",
         {"2"}},
        {"correlated subquery",
         "SELECT E.COD_EMPR, (SELECT COUNT (C.COD_EMPL) FROM NM_CONTR C WHERE C.COD_EMPR = E.COD_EMPR) AS "
         "TOT_EMPL FROM GN_EMPRE E ORDER BY E.COD_EMPR",
         {"1|5", "2|1", "3|0"}},
        {"lower-case statement and parameter names",
         "select cod_conc\nfrom nm_proto\nwhere cod_empr = :p_cod_empr\nand cod_prot = :cod_prot",
         {"10", "20"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList rows = rowsOf(run(kProvider, c.sql));
        const bool ordered = c.sql.contains(QLatin1String("ORDER BY"), Qt::CaseInsensitive);
        EXPECT_EQ(ordered ? rows : sorted(rows), c.rows);
    }
}

// A period takes in its whole first and last day, whichever form a date is stored in (SQLite keeps text:
// a bare day, a day with a time after a blank or after a 'T') and whatever time of day it carries; a bound
// that carries a time is exact.
TEST_F(ServerExecution, PeriodTakesInWholeDaysInEveryStoredForm) {
    m_database->write(QStringLiteral("CREATE TABLE T_FECHA (ID INTEGER, FEC TIMESTAMP)"));
    const char* const rows[] = {"2023-12-31 23:59:59", "2024-01-01",          "2024-01-01 00:00:00",
                                "2024-01-01T08:15:00", "2024-01-31",          "2024-01-31 00:00:00",
                                "2024-01-31T17:45:30", "2024-01-31 23:59:59", "2024-02-01",
                                "2024-02-01T00:00:00"};
    for (int i = 0; i < int(std::size(rows)); ++i)
        m_database->write(QStringLiteral("INSERT INTO T_FECHA VALUES (%1, '%2')").arg(i + 1).arg(rows[i]));
    const auto ids = [&](const char* where) {
        QStringList found;
        for (const QString& row :
             rowsOf(run(kProvider, QStringLiteral("SELECT ID FROM T_FECHA WHERE %1 ORDER BY ID").arg(where))))
            found << row;
        return found.join(QLatin1Char(','));
    };
    EXPECT_EQ(ids("(FEC >= :P_FEC_INIC) AND (FEC <= :P_FEC_FINA)"), QStringLiteral("2,3,4,5,6,7,8"));
    EXPECT_EQ(ids(":P_FEC_INIC <= FEC AND :P_FEC_FINA >= FEC"), QStringLiteral("2,3,4,5,6,7,8"));
    EXPECT_EQ(ids("FEC > :P_FEC_FINA"), QStringLiteral("9,10"));
    EXPECT_EQ(ids("FEC < :P_FEC_INIC"), QStringLiteral("1"));
    EXPECT_EQ(ids("FEC <= :P_FEC_INIC"), QStringLiteral("1,2,3,4"));
    m_params.ParamByName(QStringLiteral("P_FEC_FINA"))
        .SetAsDateTime(TDateTime::fromDateTime(QDateTime(QDate(2024, 1, 31), QTime(12, 0))));
    EXPECT_EQ(ids("FEC >= :P_FEC_INIC AND FEC <= :P_FEC_FINA"), QStringLiteral("2,3,4,5,6"));
}

TEST_F(ServerExecution, NullParametersBindNull) {
    const QString sql = QStringLiteral("SELECT NOM_CONC FROM NM_CONCE WHERE COD_EMPR = :P_COD_EMPR AND "
                                       "COD_CONC = COALESCE(:P_COD_CONC, 30)");
    TParam& conc = m_params.Add(QStringLiteral("P_COD_CONC"), TFieldType::ftSmallint);
    EXPECT_EQ(rowsOf(run(kProvider, sql)), QStringList({"PROVISION"}));
    conc.SetAsSmallInt(10);
    EXPECT_EQ(rowsOf(run(kProvider, sql)), QStringList({"SUELDO"}));

    m_params.Add(QStringLiteral("P_NOM_CONC"), TFieldType::ftString);
    EXPECT_TRUE(run(kProvider, QStringLiteral("SELECT COD_CONC FROM NM_CONCE WHERE NOM_CONC = :P_NOM_CONC"))
                    .rows.empty());
}

TEST_F(ServerExecution, ProviderWithItsOwnStatementIgnoresTheClientText) {
    m_connection->Providers().add(
        QStringLiteral("DtsPSalud"),
        QStringLiteral("SELECT NOM_CONC FROM NM_CONCE WHERE COD_EMPR = :P_COD_EMPR AND "
                       "COD_CONC = 20"));
    EXPECT_EQ(rowsOf(run(QStringLiteral("dtspsalud"), QStringLiteral("not even SQL"))),
              QStringList({"SALUD"}));
}

TEST_F(ServerExecution, RefusalsNameTheProblemAndChangeNothing) {
    const QByteArray before = m_database->fingerprint();
    expectRefused(QStringLiteral("DtsPNoExiste"), QStringLiteral("SELECT COD_EMPR FROM GN_EMPRE"),
                  QStringLiteral("El proveedor 'DtsPNoExiste' no existe en el servidor de aplicaciones."));
    expectRefused(kProvider,
                  QStringLiteral("SELECT COD_CONC FROM NM_CONCE WHERE COD_EMPR = :P_COD_EMPR AND "
                                 "TIP_CONC = :P_TIP_CONC"),
                  QStringLiteral("Parámetro 'P_TIP_CONC' no encontrado."));
    expectRefused(
        kProvider, QStringLiteral("SELECT COD_EMPR FROM GN_EMPRE; DELETE FROM GN_EMPRE"),
        QStringLiteral("La sentencia contiene más de una instrucción; el servidor de aplicaciones ejecuta "
                       "una sola."));
    EXPECT_EQ(m_database->fingerprint(), before);
}

TEST_F(ServerExecution, WriteStatementsFailAndChangeNothing) {
    const QByteArray before = m_database->fingerprint();
    const char* const writes[] = {"INSERT INTO GN_EMPRE VALUES (9, 'NUEVA')",
                                  "UPDATE NM_ACUMU SET VAL_ACUM = 0", "DELETE FROM NM_CONCE",
                                  "CREATE TABLE X_NUEVA (A INTEGER)", "DROP TABLE NM_PROTO"};
    for (const char* w : writes) {
        const QString sql = QString::fromLatin1(w);
        // Refused before it reaches the database...
        const QString first = sql.section(QLatin1Char(' '), 0, 0);
        expectRefused(
            kProvider, sql,
            QStringLiteral("El servidor de aplicaciones solo ejecuta consultas (SELECT); la sentencia "
                           "empieza por '%1'.")
                .arg(first));
        // ...and refused by the database session when sent directly.
        EXPECT_TRUE(testsupport::errorOf([&] {
                        m_connection->backend()->run(TranslatedStatement{sql, {}}, m_params);
                    }).startsWith(kDatabaseError))
            << w;
    }
    // A data-modifying WITH gets past the first word and must still be refused by the database.
    EXPECT_TRUE(testsupport::errorOf([&] {
                    m_connection->Execute(
                        kProvider,
                        QStringLiteral("WITH D AS (DELETE FROM NM_CONCE RETURNING COD_CONC) "
                                       "SELECT COUNT(*) FROM D"),
                        m_params);
                }).startsWith(kDatabaseError));
    EXPECT_EQ(m_database->fingerprint(), before);
    EXPECT_EQ(rowsOf(run(kProvider, QStringLiteral("SELECT COUNT(*) FROM NM_CONCE"))), QStringList({"5"}));
}

// What an older or partial database lacks is named, in the case the server reports it.
TEST_F(ServerExecution, MissingTableOrColumnIsNamed) {
    const bool foldsToLower = m_connection->backend()->protocol() == QLatin1String("postgresql");
    const auto reported = [&](const QString& name) { return foldsToLower ? name.toLower() : name; };
    expectRefused(kProvider, QStringLiteral("SELECT NO_EXISTE FROM NM_CONCE"),
                  kDatabaseError +
                      QStringLiteral("la base de datos no tiene la columna %1; no es una base de datos "
                                     "de nómina completa o es de otra versión.")
                          .arg(reported(QStringLiteral("NO_EXISTE"))));
    expectRefused(
        kProvider, QStringLiteral("SELECT COD_EMPR FROM NM_PRENO_HIST WHERE COD_EMPR = :P_COD_EMPR"),
        kDatabaseError + QStringLiteral("la base de datos no tiene la tabla %1; no es una base de datos "
                                        "de nómina completa o es de otra versión.")
                             .arg(reported(QStringLiteral("NM_PRENO_HIST"))));
}

TEST_F(ServerExecution, ClosedConnectionRefusesAndReleasesItsName) {
    const QStringList before = QSqlDatabase::connectionNames();
    EXPECT_TRUE(m_connection->Connected());
    {
        SDCOMConnection second;
        second.Providers().add(kProvider);
        second.Open(m_database->params());
        EXPECT_EQ(QSqlDatabase::connectionNames().size(), before.size() + 1);
        EXPECT_EQ(
            rowsOf(second.Execute(kProvider, QStringLiteral("SELECT COUNT(*) FROM GN_EMPRE"), m_params)),
            QStringList({"3"}));
    }
    EXPECT_EQ(QSqlDatabase::connectionNames(), before);

    m_connection->Close();
    EXPECT_FALSE(m_connection->Connected());
    EXPECT_EQ(m_connection->backend(), nullptr);
    EXPECT_EQ(QSqlDatabase::connectionNames().size(), before.size() - 1);
    expectRefused(kProvider, QStringLiteral("SELECT COD_EMPR FROM GN_EMPRE"),
                  QStringLiteral("La conexión con el servidor de aplicaciones no está abierta."));

    m_connection->Open(m_database->params());
    EXPECT_EQ(rowsOf(run(kProvider, QStringLiteral("SELECT COUNT(*) FROM GN_EMPRE"))), QStringList({"3"}));
}
