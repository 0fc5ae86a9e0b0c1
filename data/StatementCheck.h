// StatementCheck: runs every fixed statement of the data module against a database, with parameter values
// drawn from the database itself through the module's catalogue queries (payroll classes, prototypes,
// parameter rows, requisitions of the period), and tells for each query whether it ran and gave data.
// The main job prints it over the demo database; the tests demand data from every statement.
#pragma once

#include "TDateTime.h"

#include <QString>
#include <vector>

class TDtmNmRtgen;

struct StatementCheckResult {
    QString query;
    int parameterSets = 0;   // how many parameter sets were tried (0: a catalogue it depends on was empty)
    int rows = 0;            // rows of the set that gave most
    bool data = false;       // some set gave a row with a non-null, non-zero value
    bool expectsRows = true; // false for the placeholder query that returns nothing by design
    QString error;           // the server's message when a statement failed
};

// The data module's queries must be wired to an open connection whose providers are registered.
std::vector<StatementCheckResult> checkFixedStatements(TDtmNmRtgen& dtm, int company, TDateTime from, TDateTime to);

// The queries checkFixedStatements covers, by provider name (to compare with the fixed statement list).
QStringList checkedStatementProviders();
