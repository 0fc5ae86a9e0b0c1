// A presenter for tests: keeps every report shown, with the name of its layout.
#pragma once

#include "ReportPresenter.h"

#include <vector>

class CapturePresenter : public ReportPresenter {
public:
    void present(const QString& layout, const report::PreparedReport& pages) override {
        reports.push_back(pages);
        layouts.push_back(layout);
    }
    std::vector<report::PreparedReport> reports;
    std::vector<QString> layouts;
};
