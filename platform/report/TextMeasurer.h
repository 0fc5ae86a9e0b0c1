// TextMeasurer: measures text in millimetres and breaks it into lines that fit a width, with the fonts
// the renderers draw with. Measuring happens at a fixed high resolution without hinting, so widths scale
// linearly to any output device and a line that fits here fits on paper and on screen.
#pragma once

#include "PreparedReport.h"

#include <QFont>
#include <QString>
#include <QVector>

namespace report {

class TextMeasurer {
public:
    // Resolution of the measuring device; renderers draw text in the same units and scale it.
    static constexpr double kResolutionDpi = 1200.0;

    // The QFont every renderer uses for a font spec and run style.
    static QFont qfont(const FontSpec& spec, bool bold, bool italic, bool underline);

    double width(const FontSpec& spec, const TextRun& run) const;
    double lineHeight(const FontSpec& spec) const; // baseline to baseline, mm
    double ascent(const FontSpec& spec) const;

    // Splits "<B>bold</B> plain" into runs; without markup the whole text is one run. "\n" stays inside runs.
    static QVector<TextRun> parseMarkup(const QString& text, bool allowMarkup);

    // Breaks runs into lines no wider than widthMm (word wrap at blanks; a word longer than the width is
    // cut by characters; "\n" always breaks). Without wordWrap only "\n" breaks.
    QVector<TextLine> breakLines(const FontSpec& spec, const QVector<TextRun>& runs, double widthMm,
                                 bool wordWrap) const;
    // Recomputes a line's width (after page numbers are filled in).
    double lineWidth(const FontSpec& spec, const TextLine& line) const;
};

} // namespace report
