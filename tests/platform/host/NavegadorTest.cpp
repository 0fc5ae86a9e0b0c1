#include "GeneralError.h"
#include "HostFixture.h"
#include "TClientDataSet.h"
#include "TDataSource.h"
#include "TVNavegador.h"
#include "TestSupport.h"

#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using hostfixture::MessageRecorder;

namespace {

class NavegadorTest : public ::testing::Test {
protected:
    void SetUp() override {
        cds.AddField(QStringLiteral("COD_TNOM"), TFieldType::ftSmallint);
        cds.AddField(QStringLiteral("NOM_TNOM"), TFieldType::ftString, 40);
        cds.CreateDataSet();
        for (int code : {1, 2, 3}) {
            cds.Append();
            cds.FieldByName(QStringLiteral("COD_TNOM")).SetAsInteger(code);
            cds.FieldByName(QStringLiteral("NOM_TNOM")).SetAsString(QStringLiteral("Clase %1").arg(code));
            cds.Post();
        }
        cds.BeforePost = [](TDataSet& ds) {
            if (ds.FieldByName(QStringLiteral("COD_TNOM")).AsInteger() < 0)
                throw GeneralError(QStringLiteral("Clase de nómina no encontrada..."));
        };
        cds.First();
        nav.SetDataSource(&source);
        nav.show();
    }

    bool enabled(TNavigateBtn b) const { return nav.button(b)->isEnabled(); }
    // The buttons as a user sees them, in order (First Prior Next Last Insert Delete Edit Save Cancel): the
    // letter when enabled, '-' when not.
    QString buttons() const {
        QString out;
        for (int b = 0; b < 9; ++b)
            out += enabled(TNavigateBtn(b)) ? QChar(u"FPNLIDESC"[b]) : QChar(u'-');
        return out;
    }
    void press(TNavigateBtn b) { QTest::mouseClick(nav.button(b), Qt::LeftButton); }

    TClientDataSet cds{QStringLiteral("CdsNmTnomi")};
    TDataSource source{QStringLiteral("DtsNmTnomi"), &cds};
    TVNavegador nav;
};

TEST_F(NavegadorTest, ButtonsFollowThePositionAndState) {
    EXPECT_EQ(buttons(), QStringLiteral("--NLIDE--"));
    press(TNavigateBtn::nbNext);
    EXPECT_EQ(cds.FieldByName(QStringLiteral("COD_TNOM")).AsInteger(), 2);
    press(TNavigateBtn::nbLast);
    EXPECT_EQ(cds.RecNo(), 3);
    EXPECT_EQ(buttons(), QStringLiteral("FP--IDE--"));
    press(TNavigateBtn::nbPrior);
    EXPECT_EQ(cds.RecNo(), 2);
    // Moves made by code elsewhere are followed too.
    cds.First();
    EXPECT_EQ(buttons(), QStringLiteral("--NLIDE--"));
    cds.Next();
    EXPECT_EQ(buttons(), QStringLiteral("FPNLIDE--"));
    press(TNavigateBtn::nbEdit);
    EXPECT_EQ(cds.State(), TDataSetState::dsEdit);
    EXPECT_EQ(buttons(), QStringLiteral("FPNLID-SC"));
    press(TNavigateBtn::nbCancel);
    EXPECT_EQ(cds.State(), TDataSetState::dsBrowse);
}

TEST_F(NavegadorTest, RefusedPostIsShownAndTheRecordStaysInInsert) {
    MessageRecorder messages;
    press(TNavigateBtn::nbInsert);
    ASSERT_EQ(cds.State(), TDataSetState::dsInsert);
    cds.FieldByName(QStringLiteral("COD_TNOM")).SetAsInteger(-4);
    EXPECT_FALSE(nav.BtnClick(TNavigateBtn::nbPost));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, QStringLiteral("Clase de nómina no encontrada..."));
    EXPECT_EQ(messages.messages()[0].icon, QMessageBox::Critical);
    EXPECT_EQ(cds.State(), TDataSetState::dsInsert);
    EXPECT_TRUE(enabled(TNavigateBtn::nbPost));

    cds.FieldByName(QStringLiteral("COD_TNOM")).SetAsInteger(9);
    press(TNavigateBtn::nbPost);
    EXPECT_EQ(cds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(cds.RecordCount(), 4);
    EXPECT_EQ(messages.messages().size(), 1u);
}

TEST_F(NavegadorTest, DeleteAsksFirstAndADeclineKeepsTheRecord) {
    MessageRecorder messages(QMessageBox::No);
    press(TNavigateBtn::nbDelete);
    EXPECT_EQ(cds.RecordCount(), 3);
    ASSERT_EQ(messages.texts(), QStringList{QStringLiteral("¿Borrar el registro?")});
    messages.setAnswer(QMessageBox::Yes);
    press(TNavigateBtn::nbDelete);
    EXPECT_EQ(cds.RecordCount(), 2);
    EXPECT_EQ(cds.FieldByName(QStringLiteral("COD_TNOM")).AsInteger(), 2);
}

TEST_F(NavegadorTest, ADisabledNavigatorOrAClosedDataSetEnablesNothing) {
    nav.setEnabled(false);
    EXPECT_EQ(buttons(), QStringLiteral("---------"));
    nav.setEnabled(true);
    EXPECT_TRUE(enabled(TNavigateBtn::nbInsert));
    cds.Close();
    EXPECT_EQ(buttons(), QStringLiteral("---------"));
    EXPECT_FALSE(nav.BtnClick(TNavigateBtn::nbInsert));
}

} // namespace
