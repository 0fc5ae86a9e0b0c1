// The two date edits: the key filter, the checks on leaving an edit, and the picker buttons.
#include "FormFixture.h"
#include "FormatSettings.h"
#include "HostFixture.h"
#include "TFrmNmRtgen.h"
#include "TRadioGroup.h"
#include "TVsFecha.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

struct KeyRow {
    const char* name;
    char separator;
    const char* typed;
    const char* shown;
};

const KeyRow kKeys[] = {
    {"digits_and_separator_pass", '/', "15/03/2026", "15/03/2026"},
    {"letters_are_swallowed", '/', "1a5/0b3/2c026", "15/03/2026"},
    {"blank_and_other_punctuation_are_swallowed", '/', "15 -03.2026", "15032026"},
    {"another_locale_separator_passes_instead", '-', "15-03/2026", "15-032026"},
};

TEST(DateKeys, OnlyDigitsAndTheDateSeparatorReachTheEdit) {
    formtest::Form f;
    for (const KeyRow& row : kKeys) {
        FormatSettings::global().dateSeparator = QLatin1Char(row.separator);
        for (QLineEdit* edit : {f->EdtFecInic, f->EdtFecFina}) {
            edit->clear();
            QTest::keyClicks(edit, QString::fromLatin1(row.typed));
            EXPECT_EQ(edit->text(), QString::fromLatin1(row.shown))
                << row.name << " " << edit->objectName().toStdString();
        }
    }
    testsupport::pinFormatSettings();
    QTest::keyClick(f->EdtFecInic, Qt::Key_Backspace);
    EXPECT_EQ(f->EdtFecInic->text(), QStringLiteral("15-03202")) << "backspace still edits";
    // The control characters of the suite pass the filter too.
    for (char16_t c : {u'\a', u'\b', u'\t', u'\r'})
        EXPECT_TRUE(TFrmNmRtgen::EdtFecInicKeyPress(QString(QChar(c)))) << int(c);
    EXPECT_FALSE(TFrmNmRtgen::EdtFecInicKeyPress(QStringLiteral("\x1b")));
    EXPECT_FALSE(TFrmNmRtgen::EdtFecInicKeyPress(QStringLiteral("12")));
    EXPECT_TRUE(TFrmNmRtgen::EdtFecInicKeyPress(QString()));
}

struct ExitRow {
    const char* name;
    bool start;
    const char* text;
    const char* message;
};

const ExitRow kExits[] = {
    {"start_31_February", true, "31/02/2026", "Fecha inicial inválida, revise por favor..."},
    {"end_month_13", false, "01/13/2026", "Fecha final inválida, revise por favor..."},
    {"end_incomplete", false, "01/03", "Fecha final inválida, revise por favor..."},
    {"start_valid", true, "29/02/2028", ""},
    {"end_valid", false, "31/12/2026", ""},
};

TEST(DateExit, AnImpossibleDatePutsTheFocusBack) {
    for (const ExitRow& row : kExits) {
        SCOPED_TRACE(row.name);
        formtest::Form f;
        f->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(f.frm.get()));
        QApplication::setActiveWindow(f.frm.get());
        QLineEdit* edit = row.start ? f->EdtFecInic : f->EdtFecFina;
        edit->setText(QString::fromLatin1(row.text));
        f->BitBtnAcepta->setFocus();
        EXPECT_EQ(testsupport::errorOf([&] { row.start ? f->EdtFecInicExit() : f->EdtFecFinaExit(); }),
                  QString::fromUtf8(*row.message ? row.message : "<sin error>"));
        EXPECT_EQ(QApplication::focusWidget(), *row.message ? static_cast<QWidget*>(edit) : f->BitBtnAcepta);
    }
}

TEST(DateExit, LeavingTheEditShowsTheMessageAndTheOtherControlsKeepTheirState) {
    hostfixture::MessageRecorder log;
    formtest::Form f;
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.frm.get()));
    QApplication::setActiveWindow(f.frm.get());
    f->RdgTipRepo->Button(3)->click();
    f->ChkTipNomC->setChecked(true);
    f->EdtFecFina->setText(QStringLiteral("31/03/2026"));
    f->EdtFecInic->setFocus();
    f->EdtFecInic->setText(QStringLiteral("31/02/2026"));
    f->EdtFecFina->setFocus(Qt::TabFocusReason);
    QTest::qWait(50);
    EXPECT_EQ(log.texts(), QStringList{QStringLiteral("Fecha inicial inválida, revise por favor...")});
    EXPECT_EQ(QApplication::focusWidget(), f->EdtFecInic);
    EXPECT_EQ(f->EdtFecInic->text(), QStringLiteral("31/02/2026"));
    EXPECT_EQ(f->EdtFecFina->text(), QStringLiteral("31/03/2026"));
    EXPECT_TRUE(f->ChkTipNomC->isChecked());
    EXPECT_EQ(f->RdgTipRepo->ItemIndex(), 3);
}

// The picker opens on the edit's date (today when the edit holds none) and writes back what is picked.
TEST(DatePicker, OpensOnTheEditsDateAndWritesThePickBack) {
    formtest::Form f;
    const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    f->EdtFecInic->clear();
    f->VsFecInicMouseDown();
    EXPECT_EQ(f->VsFecInic->Date(), today);
    f->EdtFecFina->setText(QStringLiteral("31/1/2026"));
    f->VsFecFina->SetDate(QStringLiteral("garbage"));
    Q_EMIT f->VsFecFina->mouseDown();
    EXPECT_EQ(f->VsFecFina->Date(), QStringLiteral("31/01/2026"));

    f->VsFecFina->pick(QDate(2026, 4, 30));
    EXPECT_EQ(f->EdtFecFina->text(), QStringLiteral("30/04/2026"));
    f->VsFecInic->SetDate(QStringLiteral("99/99/9999"));
    f->VsFecInicClick();
    EXPECT_EQ(f->EdtFecInic->text(), today);
}

} // namespace
