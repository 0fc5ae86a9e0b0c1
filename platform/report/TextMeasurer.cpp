#include "TextMeasurer.h"

#include <QFontMetricsF>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>
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

// One font as measured: its metrics, and what the pair rule below has learnt of it.
struct MeasuredFont {
    QString family;
    double sizePt = 0;
    int style = 0; // bold | italic << 1 | underline << 2, the font's own flags included
    std::unique_ptr<QFontMetricsF> metrics;
    double lineHeightMm = 0, ascentMm = 0;
    // Widths of Latin-1 texts without shaping them: the advance of each character plus, for each pair of
    // neighbours, what shaping the pair alone adds to their two advances (kerning). Shaping a whole line
    // costs a thousand times more than adding these up, and for such texts in the report fonts it gives the
    // same width to the last bit; the first texts of each font are checked against shaping, and a font where
    // the rule fails is shaped always.
    std::array<double, 256> advance;
    std::vector<double> pair; // 256 x 256, NaN while unknown
    int checked = 0;
    bool pairRuleHolds = true;
};

MeasuredFont& measured(const FontSpec& spec, bool bold, bool italic, bool underline) {
    // Reports use a handful of fonts, and consecutive texts mostly the same one: a short list, last first.
    static std::vector<std::unique_ptr<MeasuredFont>> fonts;
    static MeasuredFont* last = nullptr;
    const int style = int(bold || spec.bold) | int(italic || spec.italic) << 1 | int(underline || spec.underline) << 2;
    const auto same = [&](const MeasuredFont& f) {
        return f.style == style && f.sizePt == spec.sizePt && f.family == spec.family;
    };
    if (last && same(*last))
        return *last;
    for (const auto& f : fonts)
        if (same(*f))
            return *(last = f.get());
    auto f = std::make_unique<MeasuredFont>();
    f->family = spec.family;
    f->sizePt = spec.sizePt;
    f->style = style;
    f->metrics = std::make_unique<QFontMetricsF>(TextMeasurer::qfont(spec, bold, italic, underline), measuringDevice());
    f->lineHeightMm = f->metrics->lineSpacing() * kMmPerUnit;
    f->ascentMm = f->metrics->ascent() * kMmPerUnit;
    f->advance.fill(std::numeric_limits<double>::quiet_NaN());
    fonts.push_back(std::move(f));
    return *(last = fonts.back().get());
}

// The width in device units by the pair rule, or nothing when the text is not one it covers: characters
// outside Latin-1, control characters (tabs expand), and the lower-case f, which begins ligatures whose
// width depends on more than a pair.
std::optional<double> pairWidth(MeasuredFont& f, const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF || c.unicode() < 0x20 || c == QLatin1Char('f'))
            return std::nullopt;
    const auto advance = [&](char16_t c) {
        double& a = f.advance[c];
        if (std::isnan(a))
            a = f.metrics->horizontalAdvance(QString(QChar(c)));
        return a;
    };
    if (f.pair.empty())
        f.pair.assign(256 * 256, std::numeric_limits<double>::quiet_NaN());
    double w = 0;
    char16_t previous = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        w += advance(c);
        if (i > 0) {
            double& k = f.pair[size_t(previous) << 8 | c];
            if (std::isnan(k)) {
                const QChar both[2] = {QChar(previous), QChar(c)};
                k = f.metrics->horizontalAdvance(QString(both, 2)) - advance(previous) - advance(c);
            }
            w += k;
        }
        previous = c;
    }
    return w;
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
    MeasuredFont& f = measured(spec, run.bold, run.italic, run.underline);
    const QFontMetricsF& m = *f.metrics;
    if (f.pairRuleHolds) {
        if (const std::optional<double> w = pairWidth(f, run.text)) {
            constexpr int kChecks = 200;
            if (f.checked < kChecks) {
                ++f.checked;
                const double shaped = m.horizontalAdvance(run.text);
                if (shaped != *w) {
                    f.pairRuleHolds = false;
                    return shaped * kMmPerUnit;
                }
            }
            return *w * kMmPerUnit;
        }
    }
    // Other texts are shaped, and listings repeat their words and labels on every row and page: those
    // widths are remembered per font and text, up to a bound.
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
    return measured(spec, false, false, false).lineHeightMm;
}

double TextMeasurer::ascent(const FontSpec& spec) const {
    return measured(spec, false, false, false).ascentMm;
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
