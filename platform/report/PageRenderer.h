// PageRenderer: draws one prepared page with a QPainter. The PDF writer, the printer, the image exporter and
// the preview all draw through it, so every output shows the same page.
#pragma once

#include "PreparedReport.h"

class QPainter;
class QPaintDevice;

namespace report {

class PageRenderer {
public:
    // Device units per millimetre for a device shown at `zoom` (1.0 = the paper's real size), from the
    // device's logical resolution.
    static double pixelsPerMm(const QPaintDevice& device, double zoom = 1.0);

    // Draws `page` with the paper's top-left corner at the painter's current origin, `pxPerMm` painter units
    // per millimetre. The paper itself is not filled: callers that need a white sheet paint it first. The
    // painter's state is restored on return.
    static void render(QPainter& painter, const PreparedPage& page, double pxPerMm);

    // Draws one text item (fill, lines at their baselines clipped to the box, frame).
    static void renderText(QPainter& painter, const TextItem& item, double pxPerMm);
};

} // namespace report
