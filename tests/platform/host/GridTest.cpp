#include "GeneralError.h"
#include "HostFixture.h"
#include "TClientDataSet.h"
#include "TDataSetModel.h"
#include "TDataSource.h"
#include "TVestraDBgrid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using hostfixture::MessageRecorder;

namespace {

class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        cds.AddField(QStringLiteral("COD_TNOM"), TFieldType::ftSmallint)
            .SetDisplayLabel(QStringLiteral("Código"));
        cds.AddField(QStringLiteral("NOM_TNOM"), TFieldType::ftString, 40)
            .SetDisplayLabel(QStringLiteral("Nombre"));
        cds.AddField(QStringLiteral("INTERNO"), TFieldType::ftInteger);
        cds.CreateDataSet();
        for (int code : {1, 2, 3}) {
            cds.Append();
            cds.FieldByName(QStringLiteral("COD_TNOM")).SetAsInteger(code);
            cds.FieldByName(QStringLiteral("NOM_TNOM")).SetAsString(QStringLiteral("Clase %1").arg(code));
            cds.Post();
        }
        cds.First();
        grid.resize(500, 200);
        grid.SetDataSource(&source);
        grid.SetColumns({column("COD_TNOM", 124, false, true), column("NOM_TNOM", 295, true, false)});
        grid.show();
        QApplication::processEvents();
    }

    static TVestraColumn column(const char* field, int width, bool readOnly, bool button) {
        TVestraColumn c;
        c.fieldName = QString::fromLatin1(field);
        c.width = width;
        c.readOnly = readOnly;
        c.button = button;
        return c;
    }

    TClientDataSet cds{QStringLiteral("CdsNmTnomi")};
    TDataSource source{QStringLiteral("DtsNmTnomi"), &cds};
    TVestraDBgrid grid;
};

// Only the listed columns show, under the field's label unless the column names its own title.
TEST_F(GridTest, ShowsTheListedColumnsUnderTheirLabels) {
    ASSERT_EQ(grid.model()->columnCount(), 2);
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Código"));
    EXPECT_EQ(grid.model()->index(2, 1).data().toString(), QStringLiteral("Clase 3"));
    // A read-only column takes no typing and is greyed so that a user sees it.
    EXPECT_TRUE(grid.model()->flags(grid.model()->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_TRUE(grid.model()->index(0, 1).data(Qt::BackgroundRole).isValid());

    TVestraColumn titled = column("NOM_TNOM", 0, false, false);
    titled.title = QStringLiteral("Nombre Prototipo");
    grid.SetColumns({titled});
    ASSERT_EQ(grid.model()->columnCount(), 1);
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Nombre Prototipo"));
}

TEST_F(GridTest, TheCurrentRowAndTheCursorFollowEachOther) {
    grid.setCurrentIndex(grid.model()->index(2, 0));
    EXPECT_EQ(cds.RecNo(), 3);
    EXPECT_EQ(cds.FieldByName(QStringLiteral("COD_TNOM")).AsInteger(), 3);

    cds.First();
    EXPECT_EQ(grid.currentIndex().row(), 0);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(cds.RecNo(), 2);
}

TEST_F(GridTest, TheEllipsisActsOnlyOnButtonColumns) {
    QSignalSpy spy(&grid, &TVestraDBgrid::editButtonClick);
    grid.setCurrentIndex(grid.model()->index(1, 0));
    QTest::keyClick(&grid, Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("COD_TNOM"));
    EXPECT_EQ(grid.SelectedFieldName(), QStringLiteral("COD_TNOM"));

    grid.setCurrentIndex(grid.model()->index(1, 1));
    QTest::keyClick(&grid, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(grid.SelectedFieldName(), QStringLiteral("NOM_TNOM"));

    // A click on the button drawn at the right of the current cell.
    grid.setCurrentIndex(grid.model()->index(0, 0));
    const QRect cell = grid.visualRect(grid.model()->index(0, 0));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(cell.right() - 5, cell.center().y()));
    EXPECT_EQ(spy.count(), 2);
    // A click on the cell's text is no button click.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 5, cell.center().y()));
    EXPECT_EQ(spy.count(), 2);
}

TEST_F(GridTest, AnEditTheFieldRefusesIsReported) {
    cds.FieldByName(QStringLiteral("COD_TNOM")).OnValidate = [](TField& f) {
        if (f.AsInteger() > 100)
            throw GeneralError(QStringLiteral("Clase de nómina no encontrada..."));
    };
    MessageRecorder messages;
    // Through the cell editor, as a user would.
    grid.setCurrentIndex(grid.model()->index(1, 0));
    grid.edit(grid.currentIndex());
    auto* editor = grid.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("555"));
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits on the next turn of the event loop and the message follows one turn later.
    EXPECT_TRUE(hostfixture::waitFor([&] { return !messages.messages().empty(); }));
    ASSERT_EQ(messages.texts(), QStringList{QStringLiteral("Clase de nómina no encontrada...")});
    cds.SetRecNo(2);
    EXPECT_EQ(cds.FieldByName(QStringLiteral("COD_TNOM")).AsInteger(), 2);
}

TEST_F(GridTest, AReadOnlyGridOpensNoEditor) {
    grid.SetReadOnly(true);
    EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 0)) & Qt::ItemIsEditable);
    grid.setCurrentIndex(grid.model()->index(0, 0));
    QTest::keyClick(&grid, Qt::Key_5);
    EXPECT_EQ(grid.viewport()->findChild<QLineEdit*>(), nullptr);
    EXPECT_EQ(cds.FieldByName(QStringLiteral("COD_TNOM")).AsInteger(), 1);
}

TEST_F(GridTest, ReopeningTheDataSetKeepsTheColumnSettings) {
    cds.Close();
    cds.Open();
    QApplication::processEvents();
    EXPECT_EQ(grid.model()->columnCount(), 2);
    EXPECT_EQ(grid.columnWidth(0), 124);
    EXPECT_EQ(grid.model()->rowCount(), 0);
}

} // namespace
