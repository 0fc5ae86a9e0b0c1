// DatabaseBackend: one database engine behind the application server, reached through QtSql. A backend
// opens its database read-only, translates statements of the suite's T-SQL dialect into its own SQL,
// binds the typed parameters the way its database stores them, and converts the rows it returns into a
// TResultSet. Every dialect difference lives in the backend of its database; the rest of the module never
// asks which database it runs on.
//
// Statement flow (execute): the text must hold one query (a SELECT or WITH, one statement); comments are
// dropped; the backend rewrites the dialect; each :NAME parameter becomes a positional placeholder, its
// name recorded once per occurrence (run binds the same value to every occurrence); the statement runs
// forward-only and every row is fetched.
#pragma once

#include "ConnectionParams.h"
#include "TParam.h"
#include "TRemoteServer.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

class QSqlError;
class QSqlField;
class SqlRewriter;

struct TranslatedStatement {
    QString sql;
    // One name per placeholder, in the order of the placeholders.
    QStringList parameterNames;
};

class DatabaseBackend {
public:
    virtual ~DatabaseBackend();
    DatabaseBackend(const DatabaseBackend&) = delete;
    DatabaseBackend& operator=(const DatabaseBackend&) = delete;

    // The backend of protocol ("sqlite", "postgresql", "odbc"; any case). Throws GeneralError for any
    // other protocol.
    static std::unique_ptr<DatabaseBackend> create(const QString& protocol);

    virtual QString protocol() const = 0;

    // Opens the database under the QtSql connection name given (which must be unused), read-only, and
    // reads the names of the text columns of its schema. Throws GeneralError "No se pudo abrir la base de
    // datos '<name>': <reason>" when it cannot (the reason in Spanish, see DatabaseErrors); the backend is
    // then closed.
    void open(const ConnectionParams& params, const QString& connectionName);
    // Closes the database and removes its QtSql connection. Harmless when closed.
    void close();
    bool isOpen() const;

    // Column names (any case) whose values are text, in addition to those read from the schema on open;
    // they decide which '+' concatenate.
    void setTextColumns(const QSet<QString>& names);
    QSet<QString> textColumns() const;

    // The statement in this backend's SQL. Throws GeneralError for a malformed text, an empty one, more
    // than one statement, or a statement that is not a query. wholeDays: upper-case names of the
    // parameters that carry whole days, whose comparisons take in the whole day (SqlRewriter::closeDayRanges).
    TranslatedStatement translate(const QString& statement, const QSet<QString>& wholeDays = {}) const;
    // translate + run; the date-time parameters without a time of day are the whole days.
    TResultSet execute(const QString& statement, const TParams& params);
    // Runs a translated statement, binding to each placeholder the parameter of its name (a name ending in
    // SqlRewriter::kNextDaySuffix gets the day after its parameter's date). It does not
    // look at what the statement does: the read-only session refuses any write. Throws
    // GeneralError "Parámetro 'X' no encontrado." for a name missing from params, and "Error del servidor
    // de base de datos: <reason>" when the database refuses the statement.
    TResultSet run(const TranslatedStatement& statement, const TParams& params);

protected:
    DatabaseBackend() = default;

    // The QtSql driver ("QSQLITE", ...).
    virtual QString driverName() const = 0;
    // What the messages call the database (the file, the database name, the DSN).
    virtual QString databaseLabel(const ConnectionParams& params) const = 0;
    // Sets up db from params before it opens; throws GeneralError (a message for databaseLabel) when
    // params cannot name a database of this kind.
    virtual void configure(QSqlDatabase& db, const ConnectionParams& params) const = 0;
    // Makes the open session read-only and otherwise ready; on failure throws through sessionFailure.
    virtual void prepareSession(QSqlDatabase& db) const = 0;
    // Called once when the first attempt to open failed with cause: a backend that knows another way to
    // reach the same data sets db up for it and returns true. The reason given to the user stays that of
    // the first attempt when the second fails too.
    virtual bool configureRetry(QSqlDatabase& db, const ConnectionParams& params, const QSqlError& cause);
    // Drops whatever the backend kept for the connection that has just closed.
    virtual void released() {}
    // A query returning (column name, type name) for every column of the schema; empty when the backend
    // needs no text columns.
    virtual QString schemaColumnsQuery() const { return QString(); }
    virtual bool isTextTypeName(const QString& typeName) const;

    // Run around every statement: a backend whose session settings a statement could change undoes them.
    virtual void beginStatement(QSqlDatabase&) const {}
    virtual void endStatement(QSqlDatabase&) const {}

    // The dialect rewrites of this backend (parameters are replaced afterwards, by the base).
    virtual void rewrite(SqlRewriter& statement) const = 0;

    // The value bound for param (declared type decides); null parameters bind NULL.
    virtual QVariant bindValue(const TParam& param) const;
    virtual QVariant bindDateTime(TDateTime value) const = 0;

    // Column name and type as the driver describes them; the default maps the Qt type.
    virtual TResultColumn describeColumn(const QSqlField& field) const;
    // The value of a column of that type, as TResultSet holds it (dates as TDateTime serials).
    virtual QVariant convertValue(const QVariant& value, TFieldType type) const;

    // What error means, in Spanish (a clause for "No se pudo abrir ...: " or serverMessage).
    virtual QString errorReason(const QSqlError& error) const;
    // "Error del servidor de base de datos: <reason>".
    QString serverMessage(const QSqlError& error) const;
    // errorReason without the password of the connection.
    QString errorText(const QSqlError& error) const;
    // Throws the GeneralError of errorText, keeping error for configureRetry.
    [[noreturn]] void sessionFailure(const QSqlError& error) const;

    QSqlDatabase database() const;

private:
    // Opens db, prepares the session and reads the schema; on failure closes db and returns the reason,
    // and in cause the driver's error when the database gave one.
    QString startSession(QSqlDatabase& db, QSqlError& cause);

    QString m_connectionName;
    // The password of the connection, kept out of every message.
    QString m_secret;
    QSet<QString> m_schemaTextColumns;
    QSet<QString> m_extraTextColumns;
    // Translations by statement text: builders open the same statement once per row of another query.
    mutable QHash<QString, TranslatedStatement> m_translations;
    QHash<QString, std::shared_ptr<QSqlQuery>> m_prepared; // by statement, on the open connection
};
