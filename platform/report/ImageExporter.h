// ImageExporter: prepared pages as raster images (the preview's thumbnails, PNG files).
#pragma once

#include "PreparedReport.h"

#include <QImage>
#include <QString>
#include <QStringList>

namespace report {

class ImageExporter {
public:
    // The page on a white sheet, `dpi` pixels per inch (the image carries that resolution).
    static QImage renderPage(const PreparedPage& page, double dpi);

    // Writes every page as a PNG file and returns the paths written. A one-page report goes to path itself;
    // longer reports go to "<name>-<n>.<suffix>" beside it, numbered from 1 with the digits of the page
    // count ("informe-01.png" ... "informe-12.png"). Each file is replaced only once fully written; throws
    // GeneralError "No se pudo escribir el archivo '<path>': ..." on failure.
    static QStringList exportToPng(const PreparedReport& report, const QString& path, double dpi = 150);
};

} // namespace report
