#include "TextMeasurer.h"

#include <QFontMetricsF>
#include <QPair>
#include <algorithm>
#include <QHash>
#include <QImage>
#include <QRegularExpression>
#include <memory>

namespace report {

namespace {
constexpr double kDpi = TextMeasurer::kResolutionDpi;
constexpr double kMmPerUnit = 25.4 / kDpi;

QPaintDevice* measuringDevice() {
    static std::unique_ptr<QImage> img = [] {
        auto i = std::make_unique<QImage>(1, 1, QImage::Format_ARGB32);
        i->setDotsPerMeterX(static_cast<int>(kDpi / 0.0254 + 0.5));
        i->setDotsPerMeterY(static_cast<int>(kDpi / 0.0254 + 0.5));
        return i;
    }();
    return img.get();
}

struct MetricsKey {
    QString family;
    double sizePt;
    int style; // bold | italic << 1 | underline << 2, the font's own flags included
    bool operator==(const MetricsKey& o) const { return sizePt == o.sizePt && style == o.style && family == o.family; }
};
size_t qHash(const MetricsKey& k, size_t seed = 0) { return qHashMulti(seed, k.family, k.sizePt, k.style); }

const QFontMetricsF& metrics(const FontSpec& spec, bool bold, bool italic, bool underline) {
    static QHash<MetricsKey, std::shared_ptr<QFontMetricsF>> cache;
    const MetricsKey key{spec.family, spec.sizePt,
                         int(bold || spec.bold) | int(italic || spec.italic) << 1 | int(underline || spec.underline) << 2};
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.insert(key, std::make_shared<QFontMetricsF>(TextMeasurer::qfont(spec, bold, italic, underline),
                                                               measuringDevice()));
    return **it;
}
} // namespace

QFont TextMeasurer::qfont(const FontSpec& spec, bool bold, bool italic, bool underline) {
    QFont f(spec.family);
    f.setPointSizeF(spec.sizePt);
    f.setBold(bold || spec.bold);
    f.setItalic(italic || spec.italic);
    f.setUnderline(underline || spec.underline);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(true);
    f.setStyleStrategy(QFont::PreferOutline);
    return f;
}

double TextMeasurer::width(const FontSpec& spec, const TextRun& run) const {
    // Shaping is the costly part of preparing a page, and listings repeat their words and labels on every
    // row and page: widths are remembered per font and text, up to a bound.
    const QFontMetricsF& m = metrics(spec, run.bold, run.italic, run.underline);
    if (run.text.size() > 64)
        return m.horizontalAdvance(run.text) * kMmPerUnit;
    static QHash<QPair<const QFontMetricsF*, QString>, double> known;
    const QPair<const QFontMetricsF*, QString> key(&m, run.text);
    if (const auto it = known.constFind(key); it != known.constEnd())
        return *it;
    if (known.size() > 200'000)
        known.clear();
    const double w = m.horizontalAdvance(run.text) * kMmPerUnit;
    known.insert(key, w);
    return w;
}

double TextMeasurer::lineHeight(const FontSpec& spec) const {
    return metrics(spec, false, false, false).lineSpacing() * kMmPerUnit;
}

double TextMeasurer::ascent(const FontSpec& spec) const {
    return metrics(spec, false, false, false).ascent() * kMmPerUnit;
}

QVector<TextRun> TextMeasurer::parseMarkup(const QString& text, bool allowMarkup) {
    QVector<TextRun> runs;
    if (!allowMarkup) {
        runs.push_back(TextRun{text, false, false, false});
        return runs;
    }
    static const QRegularExpression tag(QStringLiteral("<(/?)([biuBIU])>"));
    bool bold = false, italic = false, underline = false;
    int pos = 0;
    auto it = tag.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        if (m.capturedStart() > pos)
            runs.push_back(TextRun{text.mid(pos, m.capturedStart() - pos), bold, italic, underline});
        const bool on = m.captured(1).isEmpty();
        switch (m.captured(2).toLower().at(0).unicode()) {
        case 'b': bold = on; break;
        case 'i': italic = on; break;
        default: underline = on; break;
        }
        pos = m.capturedEnd();
    }
    if (pos < text.size() || runs.isEmpty())
        runs.push_back(TextRun{text.mid(pos), bold, italic, underline});
    return runs;
}

double TextMeasurer::lineWidth(const FontSpec& spec, const TextLine& line) const {
    double w = 0;
    for (const TextRun& r : line.runs)
        w += width(spec, r);
    return w;
}

QVector<TextLine> TextMeasurer::breakLines(const FontSpec& spec, const QVector<TextRun>& runs, double widthMm,
                                           bool wordWrap) const {
    // The common case, a text that fits its box with room to spare, is one line measured once. Near the
    // limit the word-by-word rule below decides, as it always has.
    constexpr double kSureFitMm = 0.5;
    const bool simple = std::none_of(runs.begin(), runs.end(), [](const TextRun& r) {
        return r.text.contains(QLatin1Char('\n')) || r.text.contains(QLatin1Char('\r'));
    });
    if (simple && !runs.isEmpty()) {
        TextLine only;
        for (const TextRun& r : runs) {
            if (!only.runs.isEmpty() && only.runs.last().bold == r.bold && only.runs.last().italic == r.italic &&
                only.runs.last().underline == r.underline)
                only.runs.last().text += r.text;
            else
                only.runs.push_back(r);
        }
        // Trailing blanks take no room.
        while (!only.runs.isEmpty()) {
            TextRun& last = only.runs.last();
            qsizetype n = last.text.size();
            while (n > 0 && last.text[n - 1] == QLatin1Char(' '))
                --n;
            last.text.truncate(n);
            if (!last.text.isEmpty() || only.runs.size() == 1)
                break;
            only.runs.removeLast();
        }
        only.widthMm = lineWidth(spec, only);
        const bool empty = only.runs.size() == 1 && only.runs.front().text.isEmpty();
        if (!empty && (!wordWrap || only.widthMm <= widthMm - kSureFitMm))
            return {only};
    }

    // Split the runs into "pieces": words with their trailing blanks, and hard breaks.
    struct Piece {
        TextRun run;
        bool hardBreak = false;
    };
    QVector<Piece> pieces;
    for (const TextRun& r : runs) {
        QString cur;
        auto flush = [&] {
            if (!cur.isEmpty()) {
                Piece p;
                p.run = TextRun{cur, r.bold, r.italic, r.underline};
                pieces.push_back(p);
                cur.clear();
            }
        };
        for (int i = 0; i < r.text.size(); ++i) {
            const QChar c = r.text[i];
            if (c == QLatin1Char('\r'))
                continue;
            if (c == QLatin1Char('\n')) {
                flush();
                Piece p;
                p.hardBreak = true;
                pieces.push_back(p);
                continue;
            }
            cur += c;
            if (c == QLatin1Char(' ') && (i + 1 >= r.text.size() || r.text[i + 1] != QLatin1Char(' ')))
                flush();
        }
        flush();
    }

    QVector<TextLine> lines;
    TextLine line;
    double lineW = 0;
    auto appendRun = [&](const TextRun& run, double w) {
        if (!line.runs.isEmpty()) {
            TextRun& last = line.runs.last();
            if (last.bold == run.bold && last.italic == run.italic && last.underline == run.underline) {
                last.text += run.text;
                lineW += w;
                return;
            }
        }
        line.runs.push_back(run);
        lineW += w;
    };
    auto finishLine = [&](bool endsParagraph) {
        // Trailing blanks of a wrapped line take no room.
        while (!line.runs.isEmpty()) {
            TextRun& last = line.runs.last();
            const int trimmed = static_cast<int>(last.text.size());
            int n = trimmed;
            while (n > 0 && last.text[n - 1] == QLatin1Char(' '))
                --n;
            last.text.truncate(n);
            if (!last.text.isEmpty() || line.runs.size() == 1)
                break;
            line.runs.removeLast();
        }
        line.endsParagraph = endsParagraph;
        line.widthMm = lineWidth(spec, line);
        lines.push_back(line);
        line = TextLine();
        lineW = 0;
    };

    const double limit = widthMm + 1e-6;
    for (const Piece& p : pieces) {
        if (p.hardBreak) {
            finishLine(true);
            continue;
        }
        TextRun run = p.run;
        double w = width(spec, run);
        if (!wordWrap || lineW + w <= limit) {
            appendRun(run, w);
            continue;
        }
        // Does the word fit without its trailing blanks?
        QString bare = run.text;
        while (bare.endsWith(QLatin1Char(' ')))
            bare.chop(1);
        const double bareW = width(spec, TextRun{bare, run.bold, run.italic, run.underline});
        if (lineW + bareW <= limit) {
            appendRun(run, w);
            continue;
        }
        if (!line.runs.isEmpty())
            finishLine(false);
        // A word wider than the whole line is cut by characters.
        while (width(spec, TextRun{bare, run.bold, run.italic, run.underline}) > limit && bare.size() > 1) {
            int n = 1;
            while (n < bare.size() &&
                   width(spec, TextRun{bare.left(n + 1), run.bold, run.italic, run.underline}) <= limit)
                ++n;
            appendRun(TextRun{bare.left(n), run.bold, run.italic, run.underline}, 0);
            finishLine(false);
            bare = bare.mid(n);
            run.text = run.text.mid(n);
        }
        appendRun(run, width(spec, run));
    }
    if (!line.runs.isEmpty() || lines.isEmpty())
        finishLine(true);
    return lines;
}

} // namespace report
