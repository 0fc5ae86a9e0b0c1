// The reasons given for the driver errors that the test databases cannot be made to produce on demand
// (a locked file, a full disk, a hot standby, a server out of connections...), from errors as the drivers
// report them.
#include "DatabaseErrors.h"
#include "TestSupport.h"

#include <QSqlError>
#include <gtest/gtest.h>

namespace {

struct Case {
    const char* code;
    const char* text;
    const char* reason;
};

QSqlError driverError(const Case& c, QSqlError::ErrorType type = QSqlError::StatementError) {
    return QSqlError(QStringLiteral("Unable to execute statement"), QString::fromUtf8(c.text), type,
                     QString::fromLatin1(c.code));
}

TEST(DatabaseErrors, SqliteResultCodes) {
    const Case cases[] = {
        {"5", "database is locked",
         "la base de datos está bloqueada por otro programa que la está modificando; inténtelo de nuevo "
         "cuando "
         "termine."},
        {"6", "database table is locked",
         "la base de datos está bloqueada por otro programa que la está modificando; inténtelo de nuevo "
         "cuando "
         "termine."},
        {"3", "access permission denied", "no tiene permiso para acceder al archivo de la base de datos."},
        {"14", "unable to open database file",
         "no se pudo abrir el archivo de la base de datos o uno de sus archivos auxiliares (-wal, -shm); "
         "compruebe que existan y que tenga permiso para leerlos."},
        // An extended code (SQLITE_IOERR_READ) counts as its primary one.
        {"266", "disk I/O error",
         "falló la lectura del archivo de la base de datos en el disco; compruebe el disco o la unidad de "
         "red "
         "donde está."},
        {"13", "database or disk is full",
         "el disco de la base de datos o el de los archivos temporales está lleno."},
        {"11", "malformed database schema (NM_PRENO)",
         "el archivo de la base de datos está dañado o no es una base de datos SQLite."},
        {"", "database disk image is malformed",
         "el archivo de la base de datos está dañado o no es una base de datos SQLite."},
        {"1", "near \"FROM\": syntax error",
         "la base de datos no pudo completar la operación (detalle técnico: near \"FROM\": syntax error)."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sqliteErrorReason(driverError(c)), QString::fromUtf8(c.reason)) << c.text;
}

TEST(DatabaseErrors, PostgresSqlStates) {
    const QString standby = QStringLiteral("el servidor PostgreSQL es una réplica de solo lectura (hot "
                                           "standby) y canceló la consulta porque chocaba "
                                           "con los cambios que recibe del servidor principal; vuelva a "
                                           "intentarlo o use el servidor principal.");
    const QString closed = QStringLiteral(
        "el servidor PostgreSQL cerró la conexión (apagado o reinicio del servidor, o un administrador la "
        "terminó); vuelva a conectarse y repita la operación.");
    const QString conflict = QStringLiteral(
        "la consulta chocó con otra transacción que modificaba los mismos datos y se canceló; vuelva a "
        "intentarlo.");
    const struct {
        Case error;
        QString reason;
    } cases[] = {
        {{"57014",
          "ERROR:  canceling statement due to conflict with recovery\nDETAIL:  User query might have "
          "needed to see row versions that must be removed.\n(57014)",
          ""},
         standby},
        {{"40001", "ERROR:  canceling statement due to conflict with recovery\n(40001)", ""}, standby},
        {{"57014", "ERROR:  canceling statement due to statement timeout\n(57014)", ""},
         QStringLiteral(
             "la consulta superó el tiempo máximo que el servidor PostgreSQL permite a una sentencia "
             "(statement_timeout) y se canceló.")},
        {{"57014", "ERROR:  canceling statement due to user request\n(57014)", ""},
         QStringLiteral(
             "el servidor PostgreSQL canceló la consulta (a petición de un administrador o, en una "
             "réplica de solo lectura, porque chocaba con los cambios que recibe del servidor "
             "principal); vuelva a intentarlo.")},
        {{"40001", "ERROR:  could not serialize access due to concurrent update\n(40001)", ""}, conflict},
        {{"40P01", "ERROR:  deadlock detected\n(40P01)", ""}, conflict},
        {{"57P02", "FATAL:  terminating connection because of crash of another server process\n(57P02)", ""},
         closed},
        // libpq reports a connection it finds closed without a SQLSTATE.
        {{"",
          "server closed the connection unexpectedly\n\tThis probably means the server terminated "
          "abnormally",
          ""},
         closed},
        {{"",
          "connection to server at \"db1\" (10.0.0.5), port 5432 failed: FATAL:  the database system is "
          "shutting down\n",
          ""},
         QStringLiteral("el servidor PostgreSQL está arrancando o apagándose y no acepta conexiones en este "
                        "momento; inténtelo de nuevo en unos minutos.")},
        {{"08006", "could not receive data from server: Connection reset by peer", ""},
         QStringLiteral(
             "no se pudo comunicar con el servidor PostgreSQL; compruebe el nombre del servidor, el "
             "puerto y la red, y que el servidor esté en marcha (detalle técnico: could not receive data "
             "from server: Connection reset by peer).")},
        {{"",
          "connection to server at \"db1\" (10.0.0.5), port 5432 failed: FATAL:  password authentication "
          "failed for user \"informes\"\n",
          ""},
         QStringLiteral(
             "el servidor PostgreSQL rechazó el usuario o la contraseña (detalle técnico: connection to "
             "server at \"db1\" (10.0.0.5), port 5432 failed: FATAL: password authentication failed for "
             "user \"informes\").")},
        {{"53100", "ERROR:  could not extend file \"base/16384/16385\": No space left on device\n(53100)",
          ""},
         QStringLiteral("el servidor PostgreSQL se quedó sin espacio en disco.")},
        {{"",
          "connection to server at \"db1\" (10.0.0.5), port 5432 failed: FATAL:  sorry, too many clients "
          "already\n",
          ""},
         QStringLiteral(
             "el servidor PostgreSQL no admite más conexiones en este momento; inténtelo de nuevo más "
             "tarde.")},
        {{"53400", "ERROR:  temporary file size exceeds temp_file_limit (1024kB)\n(53400)", ""},
         QStringLiteral(
             "el servidor PostgreSQL no tiene recursos suficientes para la consulta (detalle técnico: "
             "ERROR: temporary file size exceeds temp_file_limit (1024kB) (53400)).")},
        {{"42501", "ERROR:  permission denied for table nm_acumu\n(42501)", ""},
         QStringLiteral(
             "el usuario de la base de datos no tiene permiso para esta consulta (detalle técnico: "
             "ERROR: permission denied for table nm_acumu).")},
        {{"42703", "ERROR:  column c.cod_carg does not exist\nLINE 1: SELECT c.cod_carg\n(42703)", ""},
         QStringLiteral("la base de datos no tiene la columna c.cod_carg; no es una base de datos de nómina "
                        "completa o es de otra versión.")},
        {{"22012", "ERROR:  division by zero\n(22012)", ""},
         QStringLiteral(
             "la base de datos no pudo completar la operación (detalle técnico: ERROR: division by "
             "zero (22012)).")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(postgresErrorReason(driverError(c.error, *c.error.code ? QSqlError::StatementError
                                                                         : QSqlError::ConnectionError)),
                  c.reason)
            << c.error.text;
}

TEST(DatabaseErrors, PasswordsNeverShow) {
    const QString text = QStringLiteral("missing \"=\" after \"Cl4ve-Secreta\" in connection info string");
    EXPECT_EQ(withoutSecret(text, QStringLiteral("Cl4ve-Secreta")),
              QStringLiteral("missing \"=\" after \"***\" in connection info string"));
    // A short one only where it stands alone: "in" keeps its letters in "info" and "string".
    EXPECT_EQ(withoutSecret(text, QStringLiteral("in")),
              QStringLiteral("missing \"=\" after \"Cl4ve-Secreta\" *** connection info string"));
    EXPECT_EQ(withoutSecret(text, QString()), text);
}

} // namespace
