// Grabs the form in each report type's state into /tmp/vn-shots/form-T.png (form-none.png for no type
// chosen), with the inputs a user would have filled in, for a person to look at.
#include "FormFixture.h"
#include "TDtmNmRtgen.h"
#include "TFrmNmRtgen.h"
#include "TRadioGroup.h"
#include "TReportRequest.h"
#include "TReportTypeRules.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QTest>

namespace {

class FormShot : public ::testing::TestWithParam<int> {};

TEST_P(FormShot, IsWritten) {
    const int type = GetParam();
    const QString dir = QStringLiteral("/tmp/vn-shots");
    ASSERT_TRUE(QDir().mkpath(dir));
    formtest::Form f;
    f->resize(662, 674);
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.frm.get()));
    f->EdtFecInic->setText(QStringLiteral("01/03/2026"));
    f->EdtFecFina->setText(QStringLiteral("31/03/2026"));
    if (type >= 0)
        f->RdgTipRepo->Button(type)->click();
    const TReportTypeRules rules = TReportTypeRules::of(type);
    if (rules.kindsEnabled) {
        f->ChkTipNomN->setChecked(true);
        f->ChkTipNomP->setChecked(true);
    }
    if (rules.accountEnabled)
        f->EdtCodCuen->setText(QStringLiteral("510506"));
    if (rules.prototypesEnabled) {
        f->Request().AgregarPrototipo(3);
        f->Request().AgregarPrototipo(5);
    }
    if (rules.classes == TClassListRule::Enabled && !rules.noveltyGrid) {
        f->Request().AgregarClase(1);
        f->Request().AgregarClase(2);
    }
    QTest::qWait(20);
    const QString file =
        QStringLiteral("%1/form-%2.png").arg(dir, type < 0 ? QStringLiteral("none") : QString::number(type));
    ASSERT_TRUE(f->grab().save(file));
    EXPECT_GT(QFileInfo(file).size(), 1000);
}

INSTANTIATE_TEST_SUITE_P(EveryType, FormShot, ::testing::Range(-1, 11), [](const auto& info) {
    return info.param < 0 ? std::string("none") : "type" + std::to_string(info.param);
});

} // namespace
