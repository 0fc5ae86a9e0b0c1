// Bar charts through Qt Charts. The chart is laid out at 96 pixels per inch over the object's size in
// millimetres and recorded into a QPicture; the renderers replay it scaled to the box, so text stays text
// and bars stay paths in the PDF. Marks are drawn by Qt Charts with its label format, which can only show
// the value with a fixed count of decimals; the display format decides that count.
#include "Chart_p.h"

#include "DisplayFormat.h"
#include "GeneralError.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QLegend>
#include <QPainter>
#include <QValueAxis>
#include <cmath>

namespace report::detail {

namespace {

constexpr double kPxPerMm = 96.0 / 25.4;

// Six distinct colours that survive a grey-scale print.
const QColor kPalette[] = {QColor(0x1f, 0x4e, 0x79), QColor(0xe0, 0x7b, 0x39), QColor(0x3a, 0x87, 0x3a),
                           QColor(0xb8, 0x36, 0x36), QColor(0x7a, 0x5c, 0xa8), QColor(0x9a, 0x9a, 0x9a)};

} // namespace

DrawingItem drawBarChart(const ChartView& view, const QStringList& categories,
                         const std::vector<std::vector<QVariant>>& values) {
    // Qt Charts draws through graphics items, which need a widget application (the batch command makes one).
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        throw GeneralError(QStringLiteral("El gráfico %1 no se puede dibujar sin una aplicación de ventanas.").arg(view.name));
    const QSizeF size(view.rect.width() * kPxPerMm, view.rect.height() * kPxPerMm);
    auto* chart = new QChart;
    chart->setBackgroundVisible(false);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setTitle(view.title);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(7);
    chart->setFont(font);

    auto* series = new QBarSeries;
    double top = 0;
    for (size_t s = 0; s < view.series.size(); ++s) {
        auto* set = new QBarSet(view.series[s].title);
        set->setColor(kPalette[s % std::size(kPalette)]);
        set->setBorderColor(set->color().darker(130));
        set->setLabelColor(Qt::black);
        set->setLabelFont(font);
        for (qsizetype c = 0; c < categories.size(); ++c) {
            const QVariant v = s < values.size() && size_t(c) < values[s].size() ? values[s][size_t(c)] : QVariant();
            const double d = v.isValid() && !v.isNull() ? v.toDouble() : 0.0;
            set->append(d);
            top = std::max(top, d);
        }
        series->append(set);
    }
    const int decimals = view.series.empty() ? 0 : DisplayFormat(view.series.front().markFormat).decimals();
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setLabelsPrecision(decimals > 0 ? 15 : 12);
    chart->addSeries(series);

    // A category label wider than its share of the plot is broken into lines at blanks; Qt Charts would
    // hide it instead.
    QStringList labels;
    const QFontMetricsF metrics(font);
    const double share = std::max(20.0, size.width() * 0.85 / std::max<qsizetype>(1, categories.size()) - 6);
    for (const QString& category : categories) {
        QStringList lines;
        QString line;
        for (const QString& word : category.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString wider = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(wider) > share) {
                lines << line;
                line = word;
            } else {
                line = wider;
            }
        }
        lines << line;
        labels << lines.join(QStringLiteral("<br>"));
    }
    auto* axisX = new QBarCategoryAxis;
    axisX->append(labels.isEmpty() ? QStringList{QString()} : labels);
    axisX->setLabelsFont(font);
    axisX->setTruncateLabels(false);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    auto* axisY = new QValueAxis;
    axisY->setLabelsFont(font);
    axisY->setLabelFormat(decimals > 0 ? QStringLiteral("%.%1f").arg(decimals) : QStringLiteral("%d"));
    // Room above the tallest bar for its mark. Counts get whole steps of 1, 2 or 5 times a power of ten, so
    // that no two ticks print the same number.
    const double ceiling = top <= 0 ? 1 : top * 1.15;
    if (decimals > 0) {
        axisY->setRange(0, ceiling);
        axisY->applyNiceNumbers();
    } else {
        const double rough = std::max(1.0, ceiling / 5);
        const double power = std::pow(10.0, std::floor(std::log10(rough)));
        const double step = rough <= power ? power : rough <= 2 * power ? 2 * power : rough <= 5 * power ? 5 * power : 10 * power;
        axisY->setTickType(QValueAxis::TicksDynamic);
        axisY->setTickAnchor(0);
        axisY->setTickInterval(step);
        axisY->setRange(0, step * std::ceil(ceiling / step));
    }
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);

    QLegend* legend = chart->legend();
    legend->setFont(font);
    switch (view.legend) {
    case ChartView::LegendPosition::Top: legend->setAlignment(Qt::AlignTop); break;
    case ChartView::LegendPosition::Bottom: legend->setAlignment(Qt::AlignBottom); break;
    case ChartView::LegendPosition::Right: legend->setAlignment(Qt::AlignRight); break;
    case ChartView::LegendPosition::None: legend->hide(); break;
    }

    QGraphicsScene scene;
    scene.addItem(chart); // the scene owns the chart from here
    chart->setGeometry(QRectF(QPointF(0, 0), size));
    scene.setSceneRect(QRectF(QPointF(0, 0), size));

    DrawingItem item;
    item.rect = view.rect;
    item.sourceSize = size;
    QPainter painter(&item.picture);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(QPointF(0, 0), size), scene.sceneRect());
    painter.end();
    return item;
}

} // namespace report::detail
