// The statements run through SDCOMConnection against a real database. The same scenarios run on SQLite
// (test_server) and on PostgreSQL (test_server_pg): each executable links one definition of
// makeTestDatabase, which builds a database holding the fixture tables through a writable connection of
// its own; the module's connection then reads it.
#pragma once

#include "ConnectionParams.h"
#include "SDCOMConnection.h"
#include "TParam.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

class TestDatabase {
public:
    virtual ~TestDatabase() = default;
    // Runs a statement through the writable connection of the fixture; fails the test on error.
    virtual void write(const QString& statement) = 0;
    // What the module's connection opens.
    virtual ConnectionParams params() const = 0;
    // Changes whenever the stored data change (a file checksum, row counts...).
    virtual QByteArray fingerprint() = 0;
};

// Creates the database of the executable's backend into database, or skips / fails the calling test.
void makeTestDatabase(std::unique_ptr<TestDatabase>& database);

// Creates and fills the fixture tables (portable DDL, dates written as ISO text).
void createFixtureTables(TestDatabase& database);

class ServerExecution : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    TResultSet run(const QString& provider, const QString& statement);
    // The rows as "value|value|..." texts, in the order returned: numbers as the shortest decimal, text
    // without trailing blanks, dates as ISO text, NULL as "NULL".
    static QStringList rowsOf(const TResultSet& result);
    // Runs and expects a GeneralError with exactly message.
    void expectRefused(const QString& provider, const QString& statement, const QString& message);

    std::unique_ptr<TestDatabase> m_database;
    std::unique_ptr<SDCOMConnection> m_connection;
    TParams m_params;
};
