#include "TVsFecha.h"

#include "FormatSettings.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QVBoxLayout>

TVsFecha::TVsFecha(QWidget* parent) : QToolButton(parent) {
    setText(QStringLiteral("..."));
    setToolTip(QStringLiteral("Calendario"));
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QToolButton::pressed, this, &TVsFecha::mouseDown);
    connect(this, &QToolButton::clicked, this, &TVsFecha::openCalendar);
}

void TVsFecha::openCalendar() {
    closeCalendar();
    const std::optional<TDateTime> current = FormatSettings::global().parseDate(m_date.trimmed());
    const QDate start = current ? current->date() : QDate::currentDate();

    m_popup = new QFrame(this, Qt::Popup);
    m_popup->setAttribute(Qt::WA_DeleteOnClose);
    m_popup->setFrameShape(QFrame::Box);
    m_calendar = new QCalendarWidget(m_popup);
    m_calendar->setGridVisible(true);
    m_calendar->setSelectedDate(start);
    auto* box = new QVBoxLayout(m_popup);
    box->setContentsMargins(1, 1, 1, 1);
    box->addWidget(m_calendar);
    connect(m_calendar, &QCalendarWidget::activated, this, &TVsFecha::pick);
    connect(m_calendar, &QCalendarWidget::clicked, this, &TVsFecha::pick);
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
    m_calendar->setFocus();
}

void TVsFecha::pick(const QDate& date) {
    closeCalendar();
    m_date = FormatSettings::global().formatDate(TDateTime::fromDate(date));
    Q_EMIT datePicked();
}

void TVsFecha::closeCalendar() {
    if (!m_popup)
        return;
    QFrame* popup = m_popup;
    m_popup = nullptr;
    m_calendar = nullptr;
    popup->close(); // deletes itself
}
