// A small payroll database for the form tests and the form built over it, as the load builds it: host
// globals pointing at the SQLite file, the data module, the report module, then the form (whose
// FormCreate opens the connection and selects company 1).
//
// Company 1 has payroll classes 1 QUINCENAL and 2 MENSUAL, prototypes 3 NOVEDADES and 5 COMISIONES and two
// novelty accounts (NM_PRTGE kind CN); company 2 has class 7 SEMANAL and prototype 9 VARIOS only.
#pragma once

#include "CapturePresenter.h"

#include <QString>
#include <QStringList>
#include <memory>

class QTimer;
class TDtmNmRtgen;
class TDtmNmRtrep;
class TFrmNmRtgen;

namespace formtest {

// Path of the fixture database, created on first use.
QString databasePath();

// Points the host globals at the fixture (company 1).
void setGlobals();

struct Form {
    Form();
    ~Form();
    // Reports the builders show are kept here instead of opening the preview.
    CapturePresenter capture;
    std::unique_ptr<TDtmNmRtgen> dtm;
    std::unique_ptr<TDtmNmRtrep> rep;
    std::unique_ptr<TFrmNmRtgen> frm;
    TFrmNmRtgen* operator->() const { return frm.get(); }

    // Answers every observations dialog that comes up while the form lives: types text and accepts, or
    // cancels when text is null. observationDialogs counts the dialogs answered.
    void answerObservations(const QString& text);
    int observationDialogs = 0;

private:
    std::unique_ptr<QTimer> m_answerer;
};

} // namespace formtest
