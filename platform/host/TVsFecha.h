// TVsFecha: the date-picker button beside a date edit. It holds its date as text (property Date, in
// whatever format the owner writes) and does not parse it itself beyond opening the calendar on it.
//
// A press (mouse or keyboard) emits mouseDown() first, so that the owner can copy its edit's date into Date;
// the calendar then opens on Date (today when Date is no date in the short date format). Picking a day writes
// it into Date in the short date format and emits datePicked(), so that the owner can copy it back.
// Dismissing the calendar emits nothing more.
#pragma once

#include <QCalendarWidget>
#include <QDate>
#include <QFrame>
#include <QPointer>
#include <QString>
#include <QToolButton>

class TVsFecha : public QToolButton {
    Q_OBJECT
public:
    explicit TVsFecha(QWidget* parent = nullptr);

    QString Date() const { return m_date; }
    void SetDate(const QString& date) { m_date = date; }

    // The calendar popup while open, otherwise nullptr.
    QCalendarWidget* calendar() const { return m_calendar; }
    // Acts as a pick of date in the open calendar (or without one): Date := date, datePicked().
    void pick(const QDate& date);
    // Closes the popup, if open, without a pick.
    void closeCalendar();

Q_SIGNALS:
    void mouseDown();
    void datePicked();

private:
    void openCalendar();
    QString m_date;
    QPointer<QFrame> m_popup;
    QPointer<QCalendarWidget> m_calendar;
};
