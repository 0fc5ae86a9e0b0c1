#include "OutputFixture.h"

#include <csignal>
#include <sys/resource.h>

#include "TextMeasurer.h"

#include <QFile>
#include <QPainter>
#include <QPicture>
#include <QProcess>
#include <QStandardPaths>

namespace outtest {

using namespace report;

FrameSpec allSides(double widthPt) {
    FrameSpec f;
    f.left = f.top = f.right = f.bottom = true;
    f.widthPt = widthPt;
    return f;
}

TextItem text(const QRectF& rectMm, const QString& content, HAlign align, bool bold, double sizePt) {
    const TextMeasurer measurer;
    TextItem t;
    t.rect = rectMm;
    t.font.sizePt = sizePt;
    t.font.bold = bold;
    t.hAlign = align;
    t.lineHeightMm = measurer.lineHeight(t.font);
    t.ascentMm = measurer.ascent(t.font);
    for (const QString& part : content.split(QLatin1Char('\n'))) {
        TextLine line;
        line.runs.push_back(TextRun{part, false, false, false});
        line.widthMm = measurer.lineWidth(t.font, line);
        t.lines.push_back(line);
    }
    return t;
}

const TextItem& findText(const PreparedPage& page, const QString& prefix) {
    for (const PageItem& item : page.items)
        if (const auto* t = std::get_if<TextItem>(&item); t && t->plainText().startsWith(prefix))
            return *t;
    ADD_FAILURE() << "no text starts with " << prefix.toStdString();
    static const TextItem none;
    return none;
}

namespace {

TextItem cell(const QRectF& r, const QString& s, HAlign align = HAlign::Left, bool bold = false) {
    TextItem t = text(r, s, align, bold, 9);
    t.vAlign = VAlign::Center;
    t.frame = allSides(1.0);
    return t;
}

TextItem amount(const QRectF& r, const QString& shown, double value) {
    TextItem t = cell(r, shown, HAlign::Right);
    t.value.kind = CellValue::Kind::Number;
    t.value.number = value;
    t.value.excelFormat = kMoneyFormat;
    t.name = QStringLiteral("MemValor");
    return t;
}

TextItem footer() {
    TextItem t = text(QRectF(10, 262, 50, 4), QStringLiteral("Vestra:   VNmRtgen"), HAlign::Center, false, 8);
    return t;
}

QImage logo() {
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(QColor(220, 0, 0));
    return image;
}

QPicture chart(QSizeF& sourceSize) {
    sourceSize = QSizeF(100, 50);
    QPicture picture;
    QPainter p(&picture);
    p.fillRect(QRectF(0, 0, 100, 50), QColor(0, 0, 200));
    p.fillRect(QRectF(60, 10, 30, 40), QColor(0, 170, 0));
    p.end();
    return picture;
}

} // namespace

PreparedReport spilled(PreparedReport report) {
    auto spill = std::make_shared<PageSpill>();
    for (const PreparedPage& page : report.pages)
        spill->append(page);
    report.pages.clear();
    report.spill = spill;
    return report;
}

PreparedReport sampleReport() {
    PreparedReport report;
    report.title = QStringLiteral("Nómina de prueba");

    PreparedPage p1;
    p1.items.push_back(PictureItem{kLogoRect, logo(), true, true});
    p1.items.push_back(text(kTitleRect, QStringLiteral("Nómina de prueba"), HAlign::Left, true, 10));
    p1.items.push_back(text(QRectF(47, 24, 60, 5), QStringLiteral("AÑO 2024"), HAlign::Left, false, 8));
    p1.items.push_back(LineItem{QPointF(10, 42), QPointF(205.9, 42), 1.0, Qt::black});
    const double cols[] = {11, 31, 131, 171};
    const QString heads[] = {QStringLiteral("Código"), QStringLiteral("Nombre"), QStringLiteral("Valor")};
    for (int c = 0; c < 3; ++c) {
        TextItem h = cell(QRectF(cols[c], 54, cols[c + 1] - cols[c], 6), heads[c], HAlign::Center, true);
        h.fill = QColor(210, 210, 210);
        p1.items.push_back(h);
    }
    const QString names[] = {QStringLiteral("Pérez Ñáñez, José"), QStringLiteral("Gómez Ortiz, María"),
                             QStringLiteral("Muñoz Díaz, Andrés")};
    const double amounts[] = {kFirstAmount, 2500000, 98765.4};
    const QString shown[] = {QStringLiteral("$ 1.234.567,89"), QStringLiteral("$ 2.500.000,00"),
                             QStringLiteral("$ 98.765,40")};
    for (int r = 0; r < 3; ++r) {
        const double y = 60 + 6 * r;
        p1.items.push_back(cell(QRectF(cols[0], y, 20, 6), QStringLiteral("00%1").arg(r + 1)));
        p1.items.push_back(cell(QRectF(cols[1], y, 100, 6), names[r]));
        p1.items.push_back(amount(QRectF(cols[2], y, 40, 6), shown[r], amounts[r]));
    }
    TextItem total = text(QRectF(11, 82, 160, 6), QString(), HAlign::Left, false, 10);
    total.lines[0].runs = {TextRun{QStringLiteral("Total: "), true, false, false},
                           TextRun{QStringLiteral("Ñandú"), false, false, false}};
    total.lines[0].widthMm = TextMeasurer().lineWidth(total.font, total.lines[0]);
    p1.items.push_back(total);
    p1.items.push_back(RectItem{QRectF(11, 90, 100, 8), QColor(255, 255, 170), FrameSpec{}});
    p1.items.push_back(text(QRectF(12, 91, 98, 6), QStringLiteral("Observación con fondo")));
    p1.items.push_back(footer());
    report.pages.push_back(p1);

    PreparedPage p2;
    p2.items.push_back(text(QRectF(47, 17, 128, 6), QStringLiteral("Nómina de prueba (continuación)"), HAlign::Left, true));
    TextItem date = cell(QRectF(11, 40, 30, 6), QStringLiteral("15/01/2024"));
    date.value.kind = CellValue::Kind::Date;
    date.value.number = 45306; // 2024-01-15
    date.value.excelFormat = QStringLiteral("dd/mm/yyyy");
    p2.items.push_back(date);
    p2.items.push_back(amount(QRectF(131, 40, 40, 6), QStringLiteral("$ 7.000,50"), 7000.5));
    TextItem paragraph = text(QRectF(11, 60, 80, 30), QString());
    paragraph.hAlign = HAlign::Justify;
    paragraph.lines = TextMeasurer().breakLines(
        paragraph.font,
        TextMeasurer::parseMarkup(QStringLiteral("Este párrafo justificado ocupa varias líneas para comprobar que "
                                                 "los espacios se reparten en todo el ancho disponible."),
                                  false),
        80 - 2 * paragraph.paddingMm, true);
    p2.items.push_back(paragraph);
    p2.items.push_back(footer());
    report.pages.push_back(p2);

    PreparedPage p3;
    p3.paperMm = QSizeF(279.4, 215.9);
    p3.landscape = true;
    p3.items.push_back(text(QRectF(40, 20, 150, 6), QStringLiteral("Gráfico de nómina"), HAlign::Left, true));
    DrawingItem drawing;
    drawing.rect = kChartRect;
    drawing.picture = chart(drawing.sourceSize);
    p3.items.push_back(drawing);
    TextItem f3 = footer();
    f3.rect.moveTop(199);
    p3.items.push_back(f3);
    report.pages.push_back(p3);

    report.outline = {OutlineEntry{QStringLiteral("Grupo A"), 0, 54, 0},
                      OutlineEntry{QStringLiteral("Subgrupo A.1"), 1, 40, 1},
                      OutlineEntry{QStringLiteral("Grupo B"), 2, 20, 0}};
    return report;
}

bool hasTool(const QString& program) {
    return !QStandardPaths::findExecutable(program).isEmpty();
}

ToolResult runTool(const QString& program, const QStringList& args, int timeoutMs) {
    ToolResult result;
    QProcess process;
    process.start(program, args);
    if (!process.waitForStarted()) {
        result.err = process.errorString().toUtf8();
        return result;
    }
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.err = "timeout";
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

int darkPixels(const QImage& image, const QRect& region, int threshold) {
    int dark = 0;
    const QRect r = region.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < threshold)
                ++dark;
    return dark;
}

bool isMostly(const QImage& image, const QRect& region, QRgb color, double share, int tolerance) {
    const QRect r = region.intersected(image.rect());
    if (r.isEmpty())
        return false;
    int matching = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::abs(qRed(p) - qRed(color)) <= tolerance && std::abs(qGreen(p) - qGreen(color)) <= tolerance &&
                std::abs(qBlue(p) - qBlue(color)) <= tolerance)
                ++matching;
        }
    return matching >= share * r.width() * r.height();
}

QRect pixelRect(const QRectF& rectMm, double dpi) {
    const double s = dpi / 25.4;
    return QRectF(rectMm.x() * s, rectMm.y() * s, rectMm.width() * s, rectMm.height() * s).toAlignedRect();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(data);
}

QString errorUnderFileSizeLimit(long bytes, const std::function<void()>& f) {
    struct rlimit old {};
    if (::getrlimit(RLIMIT_FSIZE, &old) != 0)
        return QStringLiteral("getrlimit falló");
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = rlim_t(bytes);
    ::setrlimit(RLIMIT_FSIZE, &small);
    const QString message = testsupport::errorOf(f);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    return message;
}

} // namespace outtest
