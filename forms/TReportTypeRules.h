// TReportTypeRules: how each report type shapes the request form (which inputs it enables, what it empties)
// and which inputs its validation requires. One table serves the form, the windowless request and the
// tests; T is the item index of the report-type group, -1 when no type is chosen.
#pragma once

// What choosing the type does to the class list.
enum class TClassListRule {
    Enabled,         // grid and navigator enabled
    DisabledEmptied, // grid and navigator disabled, list emptied
    Unchanged,       // no type chosen: left as it was
};

struct TReportTypeRules {
    bool kindsEnabled = false;
    bool prototypesEnabled = false;
    TClassListRule classes = TClassListRule::Unchanged;
    // The class navigator (enabled with the grid, but not while the novelty accounts are shown).
    bool classNavigatorEnabled = false;
    bool accountEnabled = false;
    // The novelty account grid takes the place of the class grid.
    bool noveltyGrid = false;
    // The start date becomes the first day of the month two months before the final date's month.
    bool threeMonthPeriod = false;

    // --- validation (Part of the accept handler) ---
    bool requiresAccount = false;
    bool requiresKinds = false;
    bool requiresPrototypes = false;
    bool requiresClasses = false;

    static TReportTypeRules of(int T);
};
