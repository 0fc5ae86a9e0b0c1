#include "TReportTypeRules.h"

TReportTypeRules TReportTypeRules::of(int T) {
    TReportTypeRules r;
    const bool chosen = T >= 0 && T <= 10;
    r.kindsEnabled = T == 0 || T == 3 || T == 6 || T == 10;
    r.prototypesEnabled = T == 0 || T == 5 || T == 6;
    if (!chosen)
        r.classes = TClassListRule::Unchanged;
    else if (T == 0 || T == 2 || T == 3)
        r.classes = TClassListRule::Enabled;
    else
        r.classes = TClassListRule::DisabledEmptied;
    r.classNavigatorEnabled = T == 0 || T == 2;
    r.accountEnabled = T == 0;
    r.noveltyGrid = T == 3;
    r.threeMonthPeriod = T == 10;

    r.requiresAccount = T == 0;
    r.requiresKinds = r.kindsEnabled;
    r.requiresPrototypes = r.prototypesEnabled;
    r.requiresClasses = T == 0 || T == 2;
    return r;
}
