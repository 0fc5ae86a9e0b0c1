#include "ImageExporter.h"

#include "OutputFile.h"
#include "GeneralError.h"
#include "PageRenderer.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>

namespace report {

QImage ImageExporter::renderPage(const PreparedPage& page, double dpi) {
    const double pxPerMm = dpi / 25.4;
    const QSize size(std::max(1, qRound(page.paperMm.width() * pxPerMm)),
                     std::max(1, qRound(page.paperMm.height() * pxPerMm)));
    QImage image(size, QImage::Format_RGB32);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    PageRenderer::render(painter, page, pxPerMm);
    painter.end();
    return image;
}

QStringList ImageExporter::exportToPng(const PreparedReport& report, const QString& path, double dpi) {
    if (report.isEmpty())
        throw GeneralError(QStringLiteral("El informe no tiene páginas para exportar."));
    const QFileInfo target(path);
    const int pages = report.pageCount();
    const int digits = QString::number(pages).size();
    QStringList written;
    for (int i = 0; i < pages; ++i) {
        const QString file = pages == 1 ? path
                                        : target.dir().filePath(QStringLiteral("%1-%2.%3")
                                                                    .arg(target.completeBaseName())
                                                                    .arg(i + 1, digits, 10, QLatin1Char('0'))
                                                                    .arg(target.suffix().isEmpty() ? QStringLiteral("png")
                                                                                                   : target.suffix()));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!renderPage(report.page(i), dpi).save(&buffer, "PNG"))
            throw GeneralError(detail::writeErrorMessage(file, QStringLiteral("no se pudo codificar la imagen")));
        writeOutputFile(file, png);
        written << file;
    }
    return written;
}

} // namespace report
