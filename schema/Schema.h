// Schema: the payroll database of the reports, created from one portable DDL (schema.sql, compiled in as
// the resource ":/schema/schema.sql") on a writable SQLite or PostgreSQL connection.
//
// Tests of other folders build their fixtures with it: Schema::createSqliteFile on a temporary path, then
// FixtureWriter to insert the rows of the case.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class Schema {
public:
    enum class Part { Tables, Indexes };

    // The statements of the DDL, without comments and without the closing ";": Part::Tables gives the
    // tables and the view in creation order, Part::Indexes the secondary indexes.
    static QStringList statements(Part part);

    // Every table of the schema, in creation order (upper case, as the DDL writes them).
    static QStringList tableNames();

    // The name of the one view of the schema.
    static QString viewName();

    // Applies the whole DDL (tables, view, indexes) in one transaction. Throws GeneralError, with the
    // failing statement's table and the driver's message, when a statement fails (for example because the
    // table already exists); nothing is left created then.
    static void create(QSqlDatabase& db);

    // The two halves of create(), for a bulk load that adds the indexes after the rows. createIndexes may
    // run again on a database that has them.
    static void createTables(QSqlDatabase& db);
    static void createIndexes(QSqlDatabase& db);

    // Drops the view and those tables of the schema that exist; other objects of the database stay.
    static void drop(QSqlDatabase& db);

    // The statements of drop(): the view, then the tables in reverse creation order, each IF EXISTS.
    static QStringList dropStatements();

    // Runs statements in order inside whatever transaction the caller holds (create, createTables,
    // createIndexes and drop open their own). Throws GeneralError naming the object of the failing one.
    static void apply(QSqlDatabase& db, const QStringList& statements);

    // True when at least one table of the schema exists in the database.
    static bool hasAnyTable(const QSqlDatabase& db);

    // Creates the SQLite file at path, applies the DDL (with indexes unless withIndexes is false) and
    // returns the name of the open, writable connection (QSqlDatabase::database(name)); the caller removes
    // it with QSqlDatabase::removeDatabase once every handle is gone. Throws GeneralError when the file
    // exists already or cannot be created.
    static QString createSqliteFile(const QString& path, bool withIndexes = true);

    // Splits an SQL script into statements at ";" outside quotes and comments; "--" comments and "/* */"
    // comments are removed, surrounding blanks trimmed, empty statements dropped.
    static QStringList splitStatements(const QString& script);
};
