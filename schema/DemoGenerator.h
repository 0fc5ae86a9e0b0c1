// DemoGenerator: fills an empty database of the schema with a deterministic, realistic payroll data set:
// a temporary-staffing company and three user companies, their people, contracts, two years of payroll
// (January 2025 to December 2026, two fortnightly runs a month plus bonus, severance, vacation, final
// settlement, additional and extra runs), contributions, levies, absences, novelties, selection, the
// staffing plan, the report parameters and the ledger balances.
//
// The same seed and scale always give the same rows, on any machine: the generator draws from its own
// seeded generators and never from the clock. Scale 1 gives about 200 employees and runs in a few seconds;
// scale 100 about 20,000 employees and more than five million payroll rows.
//
// Payroll runs dated up to lastClosedDay() are closed (NM_ACUMU); later ones are open (NM_PRENO), so the
// last quarter of 2026 reads both sources.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <utility>

struct DemoSummary {
    QList<std::pair<QString, qint64>> rows; // every table of the schema, in creation order
    double seconds = 0;

    qint64 totalRows() const;
    qint64 rowsOf(const QString& table) const; // 0 for a table not listed
};

class DemoGenerator {
public:
    using Progress = std::function<void(const QString& table, qint64 rows)>;

    static constexpr quint64 kDefaultSeed = 20261231;

    // Throws GeneralError when scale is not positive.
    explicit DemoGenerator(quint64 seed = kDefaultSeed, int scale = 1);

    quint64 seed() const { return m_seed; }
    int scale() const { return m_scale; }

    // Employees of all companies together (people hired during the window included).
    int employeeCount() const;

    static QDate firstDay();      // 2025-01-01
    static QDate lastDay();       // 2026-12-31
    static QDate lastClosedDay(); // 2026-12-15

    // What fill() finds and does with the tables of the schema.
    enum class Tables {
        Existing, // created beforehand (Schema::createTables or Schema::create) and empty
        Create,   // not there yet: created inside the load's transaction
        Replace,  // dropped and created anew inside the load's transaction
    };

    // Fills the tables of the schema, creates the secondary indexes and refreshes the planner statistics.
    // The tables and rows are written in one transaction, so on PostgreSQL a failed load leaves the
    // database as it was; on SQLite the journal and syncing are switched off while writing, so a failed
    // run leaves the file unusable (write to a temporary file and rename it). The progress callback
    // receives the running row count of a table every 100,000 rows and once when its last row is
    // written. Throws GeneralError with the driver's message when a statement fails.
    DemoSummary fill(QSqlDatabase& db, const Progress& progress = {}, Tables tables = Tables::Existing) const;

    // A PNG logo: the initials in white block letters on the given colour (0xRRGGBB).
    static QByteArray companyLogo(const QString& initials, unsigned rgb);

private:
    quint64 m_seed;
    int m_scale;
};
