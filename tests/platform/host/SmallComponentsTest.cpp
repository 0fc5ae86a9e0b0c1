#include "TVsFecha.h"

#include <QCalendarWidget>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(TVsFechaTest, APressAnnouncesItselfBeforeThePickAndThePickIsWrittenInTheShortFormat) {
    TVsFecha fecha;
    fecha.show();
    QStringList order;
    QObject::connect(&fecha, &TVsFecha::mouseDown, [&] {
        order << QStringLiteral("mouseDown");
        // The owner copies its edit's date in here, before the calendar opens on it.
        fecha.SetDate(QStringLiteral("15/03/2026"));
    });
    QObject::connect(&fecha, &TVsFecha::datePicked,
                     [&] { order << QStringLiteral("picked:") + fecha.Date(); });

    QTest::mouseClick(&fecha, Qt::LeftButton);
    ASSERT_NE(fecha.calendar(), nullptr);
    EXPECT_EQ(fecha.calendar()->selectedDate(), QDate(2026, 3, 15));
    QTest::keyClick(fecha.calendar()->findChild<QWidget*>(QStringLiteral("qt_calendar_calendarview")),
                    Qt::Key_Right);
    QTest::keyClick(fecha.calendar()->findChild<QWidget*>(QStringLiteral("qt_calendar_calendarview")),
                    Qt::Key_Return);
    EXPECT_EQ(order, (QStringList{QStringLiteral("mouseDown"), QStringLiteral("picked:16/03/2026")}));
    QApplication::processEvents();
    EXPECT_EQ(fecha.calendar(), nullptr);
}

TEST(TVsFechaTest, AnInvalidDateOpensTheCalendarOnToday) {
    TVsFecha fecha;
    fecha.show();
    fecha.SetDate(QStringLiteral("31/02/2026"));
    QSignalSpy picked(&fecha, &TVsFecha::datePicked);
    QTest::mouseClick(&fecha, Qt::LeftButton);
    ASSERT_NE(fecha.calendar(), nullptr);
    EXPECT_EQ(fecha.calendar()->selectedDate(), QDate::currentDate());
    fecha.closeCalendar();
    EXPECT_EQ(picked.count(), 0);
    EXPECT_EQ(fecha.Date(), QStringLiteral("31/02/2026"));
}

} // namespace
