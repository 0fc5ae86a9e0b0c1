// Translation of the suite's T-SQL dialect by each backend, without a database: each row gives a
// statement, what SQLite and PostgreSQL receive (blank runs collapsed), and the parameter names bound to
// the placeholders, in order. The statements of the reports go through the same translations on both
// databases in ExecutionScenarios; the rows here are the corners those statements do not reach.
#include "DatabaseBackend.h"
#include "GeneralError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <string_view>

namespace {

struct TranslationCase {
    const char* name;
    const char* tsql;
    const char* sqlite;
    const char* postgres; // nullptr: the same as for SQLite
    QStringList parameters;
};

// Text columns as a schema would report them.
const QSet<QString> kTextColumns = {QStringLiteral("COD_CARG"), QStringLiteral("NOM_CARG"),
                                    QStringLiteral("TIP_CONC")};

TranslatedStatement translated(const char* protocol, const char* tsql) {
    auto backend = DatabaseBackend::create(QString::fromLatin1(protocol));
    backend->setTextColumns(kTextColumns);
    TranslatedStatement t = backend->translate(QString::fromUtf8(tsql));
    t.sql = t.sql.simplified();
    return t;
}

const TranslationCase kCases[] = {
    // clang-format off
    // DATEPART
    {"DatePartAbbreviations", "SELECT DATEPART(dd, F), DATEPART(yyyy, F) FROM T",
     "SELECT CAST(strftime('%d', F) AS INTEGER), CAST(strftime('%Y', F) AS INTEGER) FROM T",
     "SELECT CAST(EXTRACT(DAY FROM F) AS INTEGER), CAST(EXTRACT(YEAR FROM F) AS INTEGER) FROM T", {}},
    {"DatePartOfParameterAndInGroupBy",
     "SELECT COUNT(*) FROM T WHERE DATEPART(MONTH, F) = DATEPART(MONTH, :P_FEC) GROUP BY DATEPART(MONTH, F)",
     "SELECT COUNT(*) FROM T WHERE CAST(strftime('%m', F) AS INTEGER) = CAST(strftime('%m', ?) AS INTEGER) "
     "GROUP BY CAST(strftime('%m', F) AS INTEGER)",
     "SELECT COUNT(*) FROM T WHERE CAST(EXTRACT(MONTH FROM F) AS INTEGER) = CAST(EXTRACT(MONTH FROM ?) AS "
     "INTEGER) GROUP BY CAST(EXTRACT(MONTH FROM F) AS INTEGER)", {"P_FEC"}},
    {"DatePartNestedInItsArgument", "SELECT DATEPART(YEAR, ISNULL(DATEPART(DAY, F), 0)) FROM T",
     "SELECT CAST(strftime('%Y', COALESCE(CAST(strftime('%d', F) AS INTEGER), 0)) AS INTEGER) FROM T",
     "SELECT CAST(EXTRACT(YEAR FROM COALESCE(CAST(EXTRACT(DAY FROM F) AS INTEGER), 0)) AS INTEGER) FROM "
     "T", {}},

    // '+' between text operands
    {"ChainWithTextFirst", "SELECT CAST(A AS CHAR(10)) + B + C FROM T",
     "SELECT CAST(A AS CHAR(10)) || B || C FROM T", nullptr, {}},
    {"ChainWithTextLast", "SELECT B + C + ' - ' FROM T", "SELECT B || C || ' - ' FROM T", nullptr, {}},
    {"ParenthesisedTextGroup", "SELECT ('A' + B) + C FROM T", "SELECT ('A' || B) || C FROM T", nullptr, {}},
    {"NumericCastPlusKept", "SELECT CAST(A AS INTEGER) + 1, :P_MES_ACUM + 1 FROM T",
     "SELECT CAST(A AS INTEGER) + 1, ? + 1 FROM T", nullptr, {"P_MES_ACUM"}},
    {"CaseExpressionPlusNumberKept", "SELECT CASE WHEN TIP_CONC = 'E' THEN 1 ELSE 0 END + 1 FROM T",
     "SELECT CASE WHEN TIP_CONC = 'E' THEN 1 ELSE 0 END + 1 FROM T", nullptr, {}},
    {"PlusInsideLiteralUntouched", "SELECT 'a+b' + X FROM T", "SELECT 'a+b' || X FROM T", nullptr, {}},
    {"UnaryPlusKept", "SELECT + 1, (+ 2) FROM T", "SELECT + 1, (+ 2) FROM T", nullptr, {}},

    // Compound SELECTs
    {"ParenthesisedSecondBranch",
     "SELECT C.TIP_CONC FROM NM_PRENO P GROUP BY C.TIP_CONC UNION ( SELECT C.TIP_CONC FROM NM_ACUMU P GROUP "
     "BY C.TIP_CONC ) ",
     "SELECT C.TIP_CONC FROM NM_PRENO P GROUP BY C.TIP_CONC UNION SELECT C.TIP_CONC FROM NM_ACUMU P GROUP "
     "BY C.TIP_CONC",
     "SELECT C.TIP_CONC FROM NM_PRENO P GROUP BY C.TIP_CONC UNION ( SELECT C.TIP_CONC FROM NM_ACUMU P GROUP "
     "BY C.TIP_CONC )", {}},
    {"BothBranchesParenthesisedUnionAll", "(SELECT A FROM T) UNION ALL (SELECT A FROM U)",
     "SELECT A FROM T UNION ALL SELECT A FROM U",
     "(SELECT A FROM T) UNION ALL (SELECT A FROM U)", {}},
    {"SubqueryBeforeUnionKeepsParentheses",
     "SELECT A FROM T WHERE A IN (SELECT B FROM U) UNION SELECT C FROM V",
     "SELECT A FROM T WHERE A IN (SELECT B FROM U) UNION SELECT C FROM V", nullptr, {}},
    {"OrderByAfterUnionOutputNamesAndAliases",
     "SELECT DISTINCT CT.COD_EMPL, SUM (A.VAL_ACUM) AS TOTAL, COUNT(*) N FROM CT, A GROUP BY CT.COD_EMPL "
     "UNION SELECT 1, 2, 3 FROM U ORDER BY N, cod_empl, Total ASC",
     "SELECT DISTINCT CT.COD_EMPL, SUM (A.VAL_ACUM) AS TOTAL, COUNT(*) N FROM CT, A GROUP BY CT.COD_EMPL "
     "UNION SELECT 1, 2, 3 FROM U ORDER BY 3, 1, 2 ASC", nullptr, {}},
    {"OrderByAfterUnionDatePartExpression",
     "SELECT DATEPART(YEAR, F) FROM T UNION SELECT DATEPART(YEAR, F) FROM U ORDER BY DATEPART(YEAR, F)",
     "SELECT CAST(strftime('%Y', F) AS INTEGER) FROM T UNION SELECT CAST(strftime('%Y', F) AS INTEGER) FROM "
     "U ORDER BY 1",
     "SELECT CAST(EXTRACT(YEAR FROM F) AS INTEGER) FROM T UNION SELECT CAST(EXTRACT(YEAR FROM F) AS "
     "INTEGER) FROM U ORDER BY 1", {}},
    {"OrderByAfterUnionUnknownTermUnqualified", "SELECT T.A FROM T UNION SELECT U.A FROM U ORDER BY T.B, 1",
     "SELECT T.A FROM T UNION SELECT U.A FROM U ORDER BY B, 1", nullptr, {}},
    {"OrderByAfterParenthesisedMembers", "(SELECT T.A FROM T) UNION (SELECT U.A FROM U) ORDER BY T.A",
     "SELECT T.A FROM T UNION SELECT U.A FROM U ORDER BY 1",
     "(SELECT T.A FROM T) UNION (SELECT U.A FROM U) ORDER BY 1", {}},
    {"OrderByWithoutUnionKeepsQualifiers",
     "SELECT CD.TIP_CTOR FROM NM_CDTOR CD ORDER BY CD.TIP_CTOR, CD.COD_SBAS",
     "SELECT CD.TIP_CTOR FROM NM_CDTOR CD ORDER BY CD.TIP_CTOR, CD.COD_SBAS", nullptr, {}},
    {"OrderByOfUnionInsideSubquery",
     "SELECT X.A FROM (SELECT T.A FROM T UNION SELECT U.A FROM U ORDER BY T.A) X ORDER BY X.A",
     "SELECT X.A FROM (SELECT T.A FROM T UNION SELECT U.A FROM U ORDER BY 1) X ORDER BY X.A", nullptr, {}},

    // Parameters
    {"ParametersWithoutBlanks", "SELECT A FROM T WHERE(E=:P_COD_EMPR)AND(T=:P_TIP_ENTI)",
     "SELECT A FROM T WHERE(E=?)AND(T=?)", nullptr, {"P_COD_EMPR", "P_TIP_ENTI"}},

    // Comments, statement ends
    {"LineCommentDropped", "-- :P_X isn't bound\nSELECT A FROM T WHERE B = :P_Y",
     "SELECT A FROM T WHERE B = ?", nullptr, {"P_Y"}},
    {"BlockCommentDropped", "SELECT /* don't + 'x' */ A FROM T", "SELECT A FROM T", nullptr, {}},
    {"TrailingSemicolonDropped", "SELECT A FROM T ; -- fin", "SELECT A FROM T", nullptr, {}},

    // Cheap extras
    {"IsNullLenGetDate", "SELECT ISNULL(LEN(NOM_CARG), 0), GETDATE ( ) FROM T",
     "SELECT COALESCE(LENGTH(NOM_CARG), 0), datetime('now', 'localtime') FROM T",
     "SELECT COALESCE(LENGTH(NOM_CARG), 0), LOCALTIMESTAMP FROM T", {}},
    {"ColumnNamedLikeFunctionKept", "SELECT T.LEN, LEN FROM T", "SELECT T.LEN, LEN FROM T", nullptr, {}},
    // clang-format on
};

TEST(DialectTranslation, SqliteAndPostgres) {
    for (const TranslationCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::pair<const char*, const char*> backends[] = {
            {"sqlite", c.sqlite}, {"postgresql", c.postgres ? c.postgres : c.sqlite}};
        for (const auto& [protocol, expected] : backends) {
            const TranslatedStatement t = translated(protocol, c.tsql);
            EXPECT_EQ(t.sql, QString::fromUtf8(expected)) << protocol;
            EXPECT_EQ(t.parameterNames, c.parameters) << protocol;
        }
    }
}

// The table above collapses blanks; inside a literal they must survive. (A literal is one token, so no
// rewrite looks into it: the tokenizer's own tests show that.)
TEST(DialectTranslationExact, BlanksInsideLiteralsKeptAndTextColumnsInAnyCase) {
    EXPECT_EQ(DatabaseBackend::create(QStringLiteral("sqlite"))
                  ->translate(QStringLiteral("SELECT 'a  +  :P_X' + B FROM T"))
                  .sql,
              QStringLiteral("SELECT 'a  +  :P_X' || B FROM T"));
    auto backend = DatabaseBackend::create(QStringLiteral("postgresql"));
    const QString sql = QStringLiteral("SELECT cg.cod_carg + cg.cod_empl FROM bi_cargo cg");
    EXPECT_EQ(backend->translate(sql).sql, sql) << "no text column known yet";
    backend->setTextColumns({QStringLiteral("Cod_Carg")});
    EXPECT_EQ(backend->translate(sql).sql,
              QStringLiteral("SELECT cg.cod_carg || cg.cod_empl FROM bi_cargo cg"));
}

TEST(DialectTranslationExact, OdbcPassesTransactSqlThrough) {
    auto backend = DatabaseBackend::create(QStringLiteral("ODBC"));
    backend->setTextColumns(kTextColumns);
    const TranslatedStatement t = backend->translate(QStringLiteral(
        "SELECT DATEPART (YEAR, F), CAST(E AS VARCHAR) + COD_CARG FROM T WHERE E = :P_COD_EMPR "
        "GROUP BY F UNION ( SELECT DATEPART (YEAR, F), COD_CARG FROM U WHERE E = :P_COD_EMPR ) "
        "ORDER BY CT.F"));
    EXPECT_EQ(t.sql,
              QStringLiteral("SELECT DATEPART (YEAR, F), CAST(E AS VARCHAR) + COD_CARG FROM T WHERE E = ? "
                             "GROUP BY F UNION ( SELECT DATEPART (YEAR, F), COD_CARG FROM U WHERE E = ? ) "
                             "ORDER BY CT.F"));
    EXPECT_EQ(t.parameterNames, QStringList({"P_COD_EMPR", "P_COD_EMPR"}));
}

// Whole-day parameters as bounds: each comparison that would leave out part of a day becomes a half-open one
// against the next day; others (a lower bound, an expression, an equality, a parameter that carries a time)
// stay as written.
TEST(DialectTranslationExact, WholeDayBoundsTakeInTheWholeDay) {
    const struct {
        const char* name;
        const char* tsql;
        const char* sql;
        QStringList parameters;
    } cases[] = {
        {"period", "SELECT 1 FROM T WHERE F >= :P_FEC_INIC AND F <= :P_FEC_FINA",
         "SELECT 1 FROM T WHERE F >= ? AND F < ?", {"P_FEC_INIC", "P_FEC_FINA+1dia"}},
        {"after the period", "SELECT 1 FROM T WHERE (F > :p_fec_fina)", "SELECT 1 FROM T WHERE (F >= ?)",
         {"p_fec_fina+1dia"}},
        {"parameter on the left", "SELECT 1 FROM T WHERE :P_FEC_FINA >= F OR :P_FEC_FINA < G",
         "SELECT 1 FROM T WHERE ? > F OR ? <= G", {"P_FEC_FINA+1dia", "P_FEC_FINA+1dia"}},
        {"part of an expression", "SELECT 1 FROM T WHERE F <= :P_FEC_FINA + 1 OR 1 + :P_FEC_FINA >= F",
         "SELECT 1 FROM T WHERE F <= ? + 1 OR 1 + ? >= F", {"P_FEC_FINA", "P_FEC_FINA"}},
    };
    for (const char* protocol : {"sqlite", "postgresql", "odbc"}) {
        auto backend = DatabaseBackend::create(QString::fromLatin1(protocol));
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(protocol) + ": " + c.name);
            const TranslatedStatement t = backend->translate(
                QString::fromUtf8(c.tsql), {QStringLiteral("P_FEC_INIC"), QStringLiteral("P_FEC_FINA")});
            EXPECT_EQ(t.sql, QString::fromUtf8(c.sql));
            EXPECT_EQ(t.parameterNames, c.parameters);
        }
    }
}

struct RefusalCase {
    const char* name;
    const char* statement;
    const char* message;
    bool odbcToo = true; // ODBC hands DATEPART to the server as written
};

const RefusalCase kRefusals[] = {
    {"TwoStatements", "SELECT 1 FROM T; DELETE FROM T",
     "La sentencia contiene más de una instrucción; el servidor de aplicaciones ejecuta una sola."},
    {"TwoSemicolons", "SELECT 1 FROM T;;",
     "La sentencia contiene más de una instrucción; el servidor de aplicaciones ejecuta una sola."},
    {"OnlyAComment", "  -- nada\n", "La sentencia SQL está vacía."},
    {"Insert", "INSERT INTO T VALUES (1)",
     "El servidor de aplicaciones solo ejecuta consultas (SELECT); la sentencia empieza por 'INSERT'."},
    {"UpdateInLowerCase", "update t set a = 1",
     "El servidor de aplicaciones solo ejecuta consultas (SELECT); la sentencia empieza por 'UPDATE'."},
    {"SessionSetting", "SET SESSION CHARACTERISTICS AS TRANSACTION READ WRITE",
     "El servidor de aplicaciones solo ejecuta consultas (SELECT); la sentencia empieza por 'SET'."},
    {"UnclosedParenthesis", "SELECT (1 FROM T",
     "Sentencia SQL mal formada: paréntesis sin cerrar (línea 1, columna 8)."},
    {"StrayClosingParenthesis", "SELECT 1)\nFROM T",
     "Sentencia SQL mal formada: paréntesis de cierre sin apertura (línea 1, columna 9)."},
    {"UnclosedLiteral", "SELECT 'x FROM T",
     "Sentencia SQL mal formada: texto entre comillas sin cerrar (línea 1, columna 8)."},
    {"UnknownDatePart", "SELECT DATEPART(WEEKDAY, F) FROM T",
     "Parte de fecha 'WEEKDAY' no admitida en DATEPART.", false},
    {"DatePartWithoutExpression", "SELECT DATEPART(YEAR) FROM T",
     "Sentencia SQL mal formada: DATEPART espera una parte de fecha y una expresión.", false},
};

TEST(DialectRefusal, EveryBackendRefusesWithTheSameMessage) {
    for (const RefusalCase& c : kRefusals) {
        SCOPED_TRACE(c.name);
        for (const char* protocol : {"sqlite", "postgresql", "odbc"}) {
            if (!c.odbcToo && protocol == std::string_view("odbc"))
                continue;
            auto backend = DatabaseBackend::create(QString::fromLatin1(protocol));
            EXPECT_EQ(testsupport::errorOf([&] { backend->translate(QString::fromUtf8(c.statement)); }),
                      QString::fromUtf8(c.message))
                << protocol;
        }
    }
}

TEST(DatabaseBackendFactory, ProtocolsInAnyCaseAndUnknownRefused) {
    EXPECT_EQ(DatabaseBackend::create(QStringLiteral("SQLite"))->protocol(), QStringLiteral("sqlite"));
    EXPECT_EQ(DatabaseBackend::create(QStringLiteral(" PostgreSQL "))->protocol(),
              QStringLiteral("postgresql"));
    EXPECT_EQ(DatabaseBackend::create(QStringLiteral("odbc"))->protocol(), QStringLiteral("odbc"));
    EXPECT_EQ(testsupport::errorOf([] { DatabaseBackend::create(QStringLiteral("oracle")); }),
              QStringLiteral("El protocolo de base de datos 'oracle' no es válido; se admiten "
                             "sqlite, postgresql y odbc."));
}

} // namespace
