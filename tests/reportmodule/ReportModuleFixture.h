// A data module and a report module without a server, with the run values of the fourth quarter of 2026,
// a company dataset and a presenter that keeps what is shown: enough to prepare any layout over
// result sets a test fills by hand.
#pragma once

#include "CapturePresenter.h"
#include "TClientDataSet.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TReportRun.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

class ReportModuleFixture : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::pinFormatSettings();
        run.CodiUsua = QStringLiteral("JPEREZ");
        run.gDtFecInic = TDateTime::encodeDate(2026, 10, 1);
        run.gDtFecFina = TDateTime::encodeDate(2026, 12, 31);
        company.AddField(QStringLiteral("NOM_EMPR"), TFieldType::ftString, 80);
        company.AddField(QStringLiteral("NIT_EMPR"), TFieldType::ftFloat);
        company.AddField(QStringLiteral("BMP_REPO"), TFieldType::ftBlob);
        company.CreateDataSet();
        company.Append();
        company.FieldByName(QStringLiteral("NOM_EMPR")).SetAsString(QStringLiteral("SERVICIOS TEMPORALES ANDINOS S.A.S."));
        company.FieldByName(QStringLiteral("NIT_EMPR")).SetAsFloat(900123456);
        company.Post();
        run.CdsGnEmpre = &company;
        run.Presenter = &capture;
    }

    // The text items of a prepared report named name (every page, in order).
    static std::vector<const report::TextItem*> named(const report::PreparedReport& r, const QString& name) {
        std::vector<const report::TextItem*> out;
        for (const auto& page : r.pages)
            for (const auto& item : page.items)
                if (const auto* t = std::get_if<report::TextItem>(&item); t && (name.isNull() || t->name == name))
                    out.push_back(t);
        return out;
    }
    // Their texts; with a null name, every text of the report.
    static QStringList textsOf(const report::PreparedReport& r, const QString& name = QString()) {
        QStringList out;
        for (const auto* t : named(r, name))
            out << t->plainText();
        return out;
    }

    TDtmNmRtgen data{nullptr};
    TDtmNmRtrep rep{&data};
    TClientDataSet company{QStringLiteral("CdsGnEmpre")};
    CapturePresenter capture;
    TReportRun run;
};
