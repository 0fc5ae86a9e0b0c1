// DatabaseErrors: what an error of a database driver means to the person running a report, in Spanish. The
// drivers speak English and in their own terms ("no such table: NM_PRENO", "terminating connection due to
// administrator command"); a reason says what happened and, where the user can do something about it,
// what. Each reason is a clause that starts in lower case and ends with a period, to follow "No se pudo
// abrir la base de datos 'X': " or "Error del servidor de base de datos: ". An error no reason knows keeps
// the driver's text as "(detalle técnico: ...)".
#pragma once

#include <QString>

class QSqlError;

// An error of the QSQLITE driver (the SQLite result code is its native error code).
QString sqliteErrorReason(const QSqlError& error);
// An error of the QPSQL driver (the SQLSTATE is its native error code; errors of the connection itself
// carry none, and are recognised by their text).
QString postgresErrorReason(const QSqlError& error);
// An error of any other driver.
QString genericErrorReason(const QSqlError& error);

// text with every occurrence of secret (a password) replaced by "***": a driver may echo part of the
// connection settings. A short secret is replaced only where it stands as a word of its own, so that it
// does not take letters out of the words around it.
QString withoutSecret(const QString& text, const QString& secret);
