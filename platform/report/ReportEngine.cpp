// Preparation: the band engine.
//
// Each report page of the document is a section that starts on a new output page. Its body is walked in
// order: a plain band prints once; a data block walks its dataset record by record, opening and closing
// groups when a group condition changes, printing the master band (and its child) per record, with the
// column header before the first record and the footer after the last. Group footers print with the
// cursor on the group's last record, so their fields show that group's values.
//
// Every band is first rendered into a BandInstance (its items relative to the band, its height after
// stretching) and then handed to a sink. The page sink paginates: when an instance does not fit above the
// page footer, the page is finished (its footer printed) and a new page starts with the page header and
// the headers that ask to be reprinted (each instance carries the list that was in force when it was
// rendered). A chain of instances that must stay with the next one (a group header and its column
// titles) moves to the next page as a whole; a group marked keep-together is buffered until it closes and
// moves to a fresh page first when it would fit there but not on the current one. The subreport sink
// stacks instances inside the rectangle of a subreport object instead.
//
// Aggregates (SUM, COUNT, MIN, MAX, AVG) are accumulators attached to the bands whose texts use them. A
// printed master record feeds every accumulator that reads its dataset; a group's accumulators restart
// when the group opens, a data block's when the block starts. TOTALPAGES# prints a placeholder that is
// replaced once the page count is known.
#include "ReportEngine.h"

#include "Chart_p.h"
#include "CrossTab_p.h"
#include "DisplayFormat.h"
#include "Expression.h"
#include "GeneralError.h"
#include "TDateTime.h"
#include "TextMeasurer.h"

#include <QHash>
#include <QImage>
#include <cmath>
#include <map>

namespace report {

namespace {

const QString kTotalPagesMark = QStringLiteral("\u0001TOTALPAGES\u0001");
constexpr double kEps = 1e-6;

struct Segment {
    bool isExpression = false;
    QString literal;
    Expression expression;
};

struct ParsedMemo {
    std::vector<Segment> segments;
    bool singleExpression = false;
    DisplayFormat format;
};

struct Accumulator {
    AggregateCall call;
    QStringList feedDataSets; // empty: fed by every printed record
    QString feedBand;
    double sum = 0;
    qint64 count = 0;
    QVariant min, max;

    void reset() {
        sum = 0;
        count = 0;
        min = max = QVariant();
    }
    QVariant value() const {
        switch (call.function) {
        case AggregateFunction::Sum: return sum;
        case AggregateFunction::Count: return static_cast<qlonglong>(count);
        case AggregateFunction::Avg: return count ? QVariant(sum / static_cast<double>(count)) : QVariant(0.0);
        case AggregateFunction::Min: return min;
        case AggregateFunction::Max: return max;
        }
        return QVariant();
    }
};

struct BandInstance {
    double height = 0;
    std::vector<PageItem> items;                      // relative to the band's top-left corner
    std::vector<std::pair<QString, double>> outline;  // text, y within the band
    std::vector<std::shared_ptr<const BandInstance>> reprint; // headers to repeat if this starts a page
    bool keepWithNext = false;
};

// Space above each further part of a cross-tab, so that parts stacked on one page read as separate tables.
constexpr double kCrossTabPartGap = 4.0;
using InstancePtr = std::shared_ptr<const BandInstance>;

void translate(PageItem& item, double dx, double dy) {
    std::visit(
        [&](auto& it) {
            using T = std::decay_t<decltype(it)>;
            if constexpr (std::is_same_v<T, LineItem>) {
                it.from += QPointF(dx, dy);
                it.to += QPointF(dx, dy);
            } else {
                it.rect.translate(dx, dy);
            }
        },
        item);
}

class Sink {
public:
    virtual ~Sink() = default;
    virtual void emit(InstancePtr instance) = 0;
    virtual void beginKeepTogether() {}
    virtual void endKeepTogether() {}
    virtual void flush() {}
};

} // namespace

class ReportEnginePrivate : public ExpressionContext {
public:
    explicit ReportEnginePrivate(const ReportDocument& document) : doc(document) {}

    const ReportDocument& doc;
    QHash<QString, ReportDataSet*> dataSets; // by lower-case user name
    VariableHandler variables;
    FormatSettings settings = FormatSettings::global();
    QDateTime now;
    bool nowSet = false;
    TextMeasurer measurer;

    // Preparation state.
    PreparedReport out;
    std::map<const MemoView*, ParsedMemo> memos;
    std::map<const QString*, Expression> expressions; // band/object properties, by address in the document
    std::vector<std::unique_ptr<Accumulator>> accumulators;
    std::map<const ExprNode*, Accumulator*> accumulatorByNode;
    std::map<const Band*, std::vector<Accumulator*>> accumulatorsByBand;
    QHash<QString, qint64> counters;
    qint64 lineNo = 0;
    int currentPage = 0;
    // Pages already moved to out.spill; out.pages holds the ones after them.
    int spilledPages = 0;
    int spillThreshold = ReportEngine::kDefaultSpillThreshold;
    int pagesSoFar() const { return spilledPages + int(out.pages.size()); }
    // Once the report is long, finished pages go to the temporary file, and only the page being filled
    // stays in memory.
    void spillFinishedPages() {
        if (spillThreshold <= 0 || pagesSoFar() < spillThreshold)
            return;
        if (!out.spill)
            spillStore = std::make_shared<PageSpill>();
        out.spill = spillStore;
        for (PreparedPage& page : out.pages)
            spillStore->append(std::move(page));
        spilledPages += int(out.pages.size());
        out.pages.clear();
    }
    std::shared_ptr<PageSpill> spillStore;
    std::vector<InstancePtr> activeReprint;

    // --- ExpressionContext ---
    // Expressions name their datasets as written: the names seen are remembered as they come, so that a
    // field read on every row does not fold its dataset's name to lower case each time.
    mutable QHash<QString, ReportDataSet*> dataSetsAsWritten;
    ReportDataSet* dataSet(const QString& name) const {
        if (ReportDataSet* known = dataSetsAsWritten.value(name))
            return known;
        ReportDataSet* ds = dataSets.value(name.toLower());
        if (ds)
            dataSetsAsWritten.insert(name, ds);
        if (!ds)
            throw GeneralError(QStringLiteral("El informe %1 usa el conjunto de datos '%2', que no está disponible.")
                                   .arg(doc.name, name));
        return ds;
    }

    QVariant fieldValue(const QString& dsName, const QString& field) override {
        ReportDataSet* ds = dataSet(dsName);
        if (!ds->hasField(field))
            throw GeneralError(QStringLiteral("El informe %1 usa el campo '%2' de '%3', que no existe.")
                                   .arg(doc.name, field, dsName));
        if (ds->recordCount() == 0)
            return QVariant();
        if (ds->hasDisplayText(field))
            return ds->displayText(field);
        return ds->value(field);
    }

    QVariant variable(const QString& name) override {
        auto c = counters.find(name);
        if (c != counters.end())
            return static_cast<qlonglong>(*c);
        QVariant v;
        if (variables && variables(name, v))
            return v;
        throw GeneralError(QStringLiteral("El informe %1 usa la variable '%2', que no tiene valor.").arg(doc.name, name));
    }

    QVariant systemValue(const QString& name) override {
        if (name == QLatin1String("PAGE#"))
            return static_cast<qlonglong>(currentPage + 1);
        if (name == QLatin1String("TOTALPAGES#"))
            return kTotalPagesMark;
        if (name == QLatin1String("DATE"))
            return QDateTime(now.date(), QTime(0, 0));
        if (name == QLatin1String("TIME"))
            return now.time();
        if (name == QLatin1String("LINE#"))
            return static_cast<qlonglong>(lineNo);
        return QVariant();
    }

    QVariant aggregate(const ExprNode& node) override {
        auto it = accumulatorByNode.find(&node);
        if (it == accumulatorByNode.end())
            return QVariant();
        return it->second->value();
    }

    // --- parsing and aggregates ---
    const Expression& expression(const QString& text) {
        auto it = expressions.find(&text);
        if (it == expressions.end())
            it = expressions.emplace(&text, Expression::parse(text)).first;
        return it->second;
    }

    bool visible(const QString& condition) {
        if (condition.trimmed().isEmpty())
            return true;
        return toBool(expression(condition).evaluate(*this));
    }

    const ParsedMemo& memo(const MemoView& m) {
        auto it = memos.find(&m);
        if (it != memos.end())
            return it->second;
        ParsedMemo pm;
        pm.format = DisplayFormat(m.displayFormat);
        std::vector<TextSegment> pieces;
        try {
            pieces = splitBracketed(m.text);
        } catch (const GeneralError& e) {
            throw GeneralError(QStringLiteral("El informe %1, objeto %2: %3.").arg(doc.name, m.name, e.message()));
        }
        for (const TextSegment& piece : pieces)
            pm.segments.push_back(piece.isExpression ? Segment{true, QString(), Expression::parse(piece.text)}
                                                     : Segment{false, piece.text, Expression()});
        pm.singleExpression = pm.segments.size() == 1 && pm.segments[0].isExpression;
        return memos.emplace(&m, std::move(pm)).first->second;
    }

    // Registers the aggregates used by a band's texts; fed from the datasets they read, or from
    // defaultDataSet when the argument reads none.
    void registerAggregates(const Band& band, const QString& defaultDataSet) {
        auto add = [&](const Expression& e) {
            for (const ExprNode* node : e.aggregates()) {
                if (accumulatorByNode.count(node))
                    continue;
                auto acc = std::make_unique<Accumulator>();
                acc->call = describeAggregate(*node);
                acc->feedBand = acc->call.bandName;
                if (acc->call.argument)
                    acc->feedDataSets = dataSetsOf(*acc->call.argument);
                if (acc->feedDataSets.isEmpty() && !defaultDataSet.isEmpty() && acc->feedBand.isEmpty())
                    acc->feedDataSets << defaultDataSet;
                accumulatorByNode[node] = acc.get();
                accumulatorsByBand[&band].push_back(acc.get());
                accumulators.push_back(std::move(acc));
            }
        };
        for (const ReportObject& obj : band.objects)
            if (const auto* m = std::get_if<MemoView>(&obj)) {
                for (const Segment& s : memo(*m).segments)
                    if (s.isExpression)
                        add(s.expression);
                add(expression(m->visibleIf));
            }
        add(expression(band.visibleIf));
        if (band.child)
            registerAggregates(*band.child, defaultDataSet);
    }

    static QStringList dataSetsOf(const ExprNode& node);

    void resetAggregates(const Band& band) {
        auto it = accumulatorsByBand.find(&band);
        if (it != accumulatorsByBand.end())
            for (Accumulator* a : it->second)
                a->reset();
        if (band.child)
            resetAggregates(*band.child);
    }

    void feedAggregates(const QString& dataSetName, const QString& bandName) {
        for (auto& acc : accumulators) {
            const bool byBand = !acc->feedBand.isEmpty();
            if (byBand ? acc->feedBand.compare(bandName, Qt::CaseInsensitive) != 0
                       : !(acc->feedDataSets.isEmpty() || acc->feedDataSets.contains(dataSetName, Qt::CaseInsensitive)))
                continue;
            if (acc->call.function == AggregateFunction::Count) {
                ++acc->count;
                continue;
            }
            const QVariant v = acc->call.argument ? evaluateNode(*acc->call.argument, *this) : QVariant();
            const double x = toNumber(v);
            acc->sum += x;
            ++acc->count;
            if (v.isValid()) {
                if (!acc->min.isValid() || x < toNumber(acc->min))
                    acc->min = v;
                if (!acc->max.isValid() || x > toNumber(acc->max))
                    acc->max = v;
            }
        }
    }

    // --- rendering ---
    // A picture read from a field is mostly the same on every page (the company's logo in the page
    // header): it is decoded once, and the pages share one image, which the outputs then store once.
    QHash<QByteArray, QImage> pictures;
    qsizetype pictureBytes = 0;
    QImage picture(const QByteArray& bytes) {
        if (const auto it = pictures.constFind(bytes); it != pictures.constEnd())
            return *it;
        QImage img = QImage::fromData(bytes);
        if (pictureBytes + bytes.size() + img.sizeInBytes() > (64 << 20)) {
            pictures.clear();
            pictureBytes = 0;
        }
        pictureBytes += bytes.size() + img.sizeInBytes();
        pictures.insert(bytes, img);
        return img;
    }

    TextItem renderMemo(const MemoView& m) {
        const ParsedMemo& pm = memo(m);
        QString text;
        QVariant single;
        for (const Segment& s : pm.segments) {
            if (!s.isExpression) {
                text += s.literal;
                continue;
            }
            QVariant v = s.expression.evaluate(*this);
            // An overflowing sum or a division by zero has no figure to print: the report is refused
            // rather than printed with a blank or "inf" where an amount should be.
            if (isNumeric(v) && !std::isfinite(toNumber(v)))
                throw GeneralError(
                    QStringLiteral("El informe %1 obtuvo una cantidad que no es un número finito en %2 (una suma "
                                   "que se desborda o una división por cero): revise las cantidades de los datos.")
                        .arg(doc.name, m.name.isEmpty() ? QStringLiteral("un campo") : m.name));
            if (m.hideZeros && isNumeric(v) && toNumber(v) == 0)
                v = QVariant();
            single = v;
            text += pm.format.format(v, settings);
        }
        TextItem t;
        t.name = m.name;
        t.rect = m.rect;
        t.font = m.font;
        t.hAlign = m.hAlign;
        t.vAlign = m.vAlign;
        t.frame = m.frame;
        t.fill = m.fill;
        t.lineHeightMm = measurer.lineHeight(m.font);
        t.ascentMm = measurer.ascent(m.font);
        const double innerWidth = std::max(0.0, m.rect.width() - 2 * t.paddingMm);
        // The page count is not known yet: measure its place as three figure-wide blanks, which do not break.
        const QString figureBlanks(3, QChar(0x2007));
        const bool hasTotal = text.contains(kTotalPagesMark);
        if (hasTotal)
            text.replace(kTotalPagesMark, figureBlanks);
        // A number wider than its cell is not cut or spread over its neighbours: like a spreadsheet, the
        // cell is filled with "#", so that no misleading part of an amount is printed.
        if (pm.singleExpression && isNumeric(single) && !text.contains(QLatin1Char('\n')) &&
            measurer.width(m.font, TextRun{text, false, false, false}) > innerWidth) {
            const double hashWidth = measurer.width(m.font, TextRun{QStringLiteral("#"), false, false, false});
            text = QString(std::max<qsizetype>(1, qsizetype(innerWidth / std::max(hashWidth, 1e-6))), QLatin1Char('#'));
        }
        t.lines = measurer.breakLines(m.font, TextMeasurer::parseMarkup(text, m.allowMarkup), innerWidth, m.wordWrap);
        if (hasTotal)
            for (TextLine& line : t.lines)
                for (TextRun& run : line.runs)
                    run.text.replace(figureBlanks, kTotalPagesMark);
        if (pm.singleExpression)
            t.value = pm.format.cellValue(single, settings);
        if (m.stretch) {
            // The gap sits above the first line only: a one-line 10 pt text fits a 5 mm row.
            const double needed = t.lines.size() * t.lineHeightMm + t.paddingTopMm;
            if (needed > t.rect.height())
                t.rect.setHeight(needed);
        }
        return t;
    }

    std::vector<InstancePtr> renderBand(const Band& band) {
        std::vector<InstancePtr> result;
        if (!visible(band.visibleIf))
            return result;
        for (const Counter& c : doc.counters)
            if (c.incrementOn.compare(band.name, Qt::CaseInsensitive) == 0)
                counters[c.name] = counters.value(c.name) + 1;
        auto inst = std::make_shared<BandInstance>();
        // The parts after the first: each follows on the same page when it fits whole, else on the next.
        std::vector<std::shared_ptr<BandInstance>> crossTabParts;
        double height = band.height;
        for (const ReportObject& obj : band.objects) {
            std::visit(
                [&](const auto& o) {
                    using T = std::decay_t<decltype(o)>;
                    if (!visible(o.visibleIf))
                        return;
                    if constexpr (std::is_same_v<T, MemoView>) {
                        TextItem t = renderMemo(o);
                        if (band.stretch)
                            height = std::max(height, t.rect.bottom());
                        inst->items.emplace_back(std::move(t));
                    } else if constexpr (std::is_same_v<T, PictureView>) {
                        QImage img;
                        if (!o.dataSet.isEmpty()) {
                            const QVariant v = fieldValue(o.dataSet, o.field);
                            if (v.isValid())
                                img = picture(v.toByteArray());
                        }
                        if (!img.isNull())
                            inst->items.emplace_back(PictureItem{o.rect, img, o.center, o.keepAspect});
                    } else if constexpr (std::is_same_v<T, LineView>) {
                        inst->items.emplace_back(LineItem{o.rect.topLeft(), o.rect.bottomRight(), o.widthPt, o.color});
                    } else if constexpr (std::is_same_v<T, SubreportView>) {
                        const double h = renderSubreport(o, *inst);
                        if (band.stretch)
                            height = std::max(height, o.rect.top() + h);
                    } else if constexpr (std::is_same_v<T, CrossTabView>) {
                        auto parts = renderCrossTab(o);
                        for (PageItem& item : parts.front().items) {
                            translate(item, o.rect.left(), o.rect.top());
                            inst->items.push_back(std::move(item));
                        }
                        height = std::max(height, o.rect.top() + parts.front().height);
                        for (size_t p = 1; p < parts.size(); ++p) {
                            auto more = std::make_shared<BandInstance>();
                            more->height = parts[p].height + kCrossTabPartGap;
                            for (PageItem& item : parts[p].items) {
                                translate(item, o.rect.left(), kCrossTabPartGap);
                                more->items.push_back(std::move(item));
                            }
                            crossTabParts.push_back(std::move(more));
                        }
                    } else if constexpr (std::is_same_v<T, ChartView>) {
                        inst->items.emplace_back(renderChart(o));
                        height = std::max(height, o.rect.bottom());
                    }
                },
                obj);
        }
        if (band.equalCellHeights)
            for (PageItem& item : inst->items)
                if (auto* t = std::get_if<TextItem>(&item))
                    t->rect.setHeight(std::max(t->rect.height(), height - t->rect.top()));
        inst->height = height;
        if (!band.outlineText.trimmed().isEmpty())
            inst->outline.emplace_back(valueText(expression(band.outlineText).evaluate(*this)), 0.0);
        inst->reprint = activeReprint;
        result.push_back(inst);
        for (auto& part : crossTabParts)
            result.push_back(std::move(part));
        if (band.child) {
            auto children = renderBand(*band.child);
            if (!children.empty())
                std::const_pointer_cast<BandInstance>(result.back())->keepWithNext = true;
            result.insert(result.end(), children.begin(), children.end());
        }
        return result;
    }

    double renderSubreport(const SubreportView& view, BandInstance& host);

    // The parts of a cross-tab, cut to the room of the current page section: the width right of the object,
    // the height between the page header and the page footer.
    std::vector<detail::CrossTabPart> renderCrossTab(const CrossTabView& view) {
        ReportDataSet* ds = view.dataSet.isEmpty() ? nullptr : dataSet(view.dataSet);
        const int savedRecNo = ds && ds->recordCount() > 0 ? ds->recNo() : -1;
        double width = 1e9, height = 1e9;
        if (currentSection) {
            const ReportPage& page = *currentSection;
            width = page.paper.width() - page.margins.left() - page.margins.right() - view.rect.left();
            height = page.paper.height() - page.margins.top() - page.margins.bottom() -
                     (page.pageHeader ? page.pageHeader->height : 0) - (page.pageFooter ? page.pageFooter->height : 0) -
                     std::max(view.rect.top(), kCrossTabPartGap); // what sits above a part in its band
        }
        auto parts = detail::layoutCrossTab(view, ds, settings, measurer, width, height);
        if (savedRecNo >= 0)
            ds->setRecNo(savedRecNo);
        return parts;
    }
    // The chart's points: one per record of its dataset, in row order; each series evaluates its category and
    // value on the record.
    DrawingItem renderChart(const ChartView& view) {
        QStringList categories;
        std::vector<std::vector<QVariant>> values(view.series.size());
        ReportDataSet* ds = view.dataSet.isEmpty() ? nullptr : dataSet(view.dataSet);
        if (ds && ds->recordCount() > 0 && !view.series.empty()) {
            const int savedRecNo = ds->recNo();
            for (ds->first(); !ds->eof(); ds->next()) {
                categories << valueText(expression(view.series.front().categoryExpr).evaluate(*this));
                for (size_t s = 0; s < view.series.size(); ++s)
                    values[s].push_back(expression(view.series[s].valueExpr).evaluate(*this));
            }
            ds->setRecNo(savedRecNo);
        }
        return detail::drawBarChart(view, categories, values);
    }
    const ReportPage* currentSection = nullptr;

    // --- walking ---
    void runBody(const ReportPage& page, Sink& sink) {
        for (const BodyElement& element : page.body) {
            if (const Band* b = std::get_if<Band>(&element)) {
                for (auto& inst : renderBand(*b))
                    sink.emit(inst);
            } else {
                runDataBlock(std::get<DataBlock>(element), sink);
            }
        }
    }

    using ReprintCounts = std::map<const Band*, size_t>;

    void closeGroups(const DataBlock& block, size_t downTo, size_t& openLevels, Sink& sink, ReprintCounts& counts) {
        while (openLevels > downTo) {
            const GroupLevel& g = block.groups[openLevels - 1];
            // The group's reprinted header leaves the reprint list before its footer prints.
            if (g.header.reprintOnNewPage)
                popReprint(g.header, counts);
            if (g.footer)
                for (auto& inst : renderBand(*g.footer))
                    sink.emit(inst);
            if (g.keepTogether)
                sink.endKeepTogether();
            --openLevels;
        }
    }

    void pushReprint(const Band& header, const std::vector<InstancePtr>& instances, ReprintCounts& counts) {
        for (auto& i : instances)
            activeReprint.push_back(i);
        counts[&header] = instances.size();
    }
    void popReprint(const Band& header, ReprintCounts& counts) {
        size_t n = counts[&header];
        while (n-- > 0 && !activeReprint.empty())
            activeReprint.pop_back();
        counts[&header] = 0;
    }

    void runDataBlock(const DataBlock& block, Sink& sink) {
        ReportDataSet* ds = block.dataSet.isEmpty() ? nullptr : dataSet(block.dataSet);
        const std::vector<InstancePtr> savedReprint = activeReprint;
        ReprintCounts counts;
        if (block.footer)
            resetAggregates(*block.footer);
        if (block.header) {
            resetAggregates(*block.header);
            auto headers = renderBand(*block.header);
            for (auto& inst : headers)
                sink.emit(inst);
            if (block.header->reprintOnNewPage)
                pushReprint(*block.header, headers, counts);
        }
        lineNo = 0;
        const size_t levels = block.groups.size();
        std::vector<QString> groupValues(levels);
        size_t openLevels = 0;
        int row = 0;
        if (ds)
            ds->first();
        while (ds ? !ds->eof() : row < block.rowCount) {
            if (levels) {
                std::vector<QString> values(levels);
                for (size_t i = 0; i < levels; ++i)
                    values[i] = valueText(expression(block.groups[i].condition).evaluate(*this));
                size_t k = 0;
                while (k < openLevels && values[k] == groupValues[k])
                    ++k;
                if (k < openLevels && ds) {
                    // Footers show the closing group's last record.
                    const int here = ds->recNo();
                    ds->setRecNo(here - 1);
                    closeGroups(block, k, openLevels, sink, counts);
                    ds->setRecNo(here);
                } else {
                    closeGroups(block, k, openLevels, sink, counts);
                }
                for (size_t i = k; i < levels; ++i) {
                    const GroupLevel& g = block.groups[i];
                    if (g.footer)
                        resetAggregates(*g.footer);
                    if (g.keepTogether)
                        sink.beginKeepTogether();
                    auto headers = renderBand(g.header);
                    if (!headers.empty())
                        std::const_pointer_cast<BandInstance>(headers.back())->keepWithNext = true;
                    for (auto& inst : headers)
                        sink.emit(inst);
                    if (g.header.reprintOnNewPage)
                        pushReprint(g.header, headers, counts);
                    groupValues[i] = values[i];
                    openLevels = i + 1;
                }
            }
            ++lineNo;
            auto rows = renderBand(block.master);
            if (!rows.empty())
                feedAggregates(block.dataSet, block.master.name);
            for (auto& inst : rows)
                sink.emit(inst);
            ++row;
            if (ds)
                ds->next();
        }
        closeGroups(block, 0, openLevels, sink, counts);
        if (block.footer)
            for (auto& inst : renderBand(*block.footer))
                sink.emit(inst);
        activeReprint = savedReprint;
    }
};

QStringList ReportEnginePrivate::dataSetsOf(const ExprNode& node) {
    // Reuse the expression walker through a tiny context that records the datasets it is asked for.
    class Recorder : public ExpressionContext {
    public:
        QStringList names;
        QVariant fieldValue(const QString& ds, const QString&) override {
            if (!names.contains(ds, Qt::CaseInsensitive))
                names << ds;
            return QVariant();
        }
        QVariant variable(const QString&) override { return QVariant(); }
        QVariant systemValue(const QString&) override { return QVariant(); }
        QVariant aggregate(const ExprNode&) override { return QVariant(); }
    } recorder;
    try {
        evaluateNode(node, recorder);
    } catch (const GeneralError&) {
        // An argument that cannot be evaluated without data reads no dataset we can name.
    }
    return recorder.names;
}

namespace {

// Stacks instances one below the other inside a subreport rectangle.
class StackSink : public Sink {
public:
    std::vector<PageItem> items;
    double y = 0;
    void emit(InstancePtr inst) override {
        for (PageItem item : inst->items) {
            translate(item, 0, y);
            items.push_back(std::move(item));
        }
        y += inst->height;
    }
};

} // namespace

double ReportEnginePrivate::renderSubreport(const SubreportView& view, BandInstance& host) {
    const ReportPage* page = doc.findPage(view.page);
    if (!page)
        throw GeneralError(QStringLiteral("El informe %1 no tiene la página '%2' del subinforme %3.")
                               .arg(doc.name, view.page, view.name));
    const qint64 savedLine = lineNo;
    const std::vector<InstancePtr> savedReprint = activeReprint;
    activeReprint.clear();
    StackSink sink;
    runBody(*page, sink);
    activeReprint = savedReprint;
    lineNo = savedLine;
    for (PageItem item : sink.items) {
        translate(item, view.rect.left(), view.rect.top());
        host.items.push_back(std::move(item));
    }
    return sink.y;
}

namespace {

class PageSink : public Sink {
public:
    PageSink(ReportEnginePrivate& engine, const ReportPage& page) : e(engine), section(page) {}

    void start() { newPage(); }

    void emit(InstancePtr inst) override {
        if (bufferDepth > 0) {
            buffer.push_back(inst);
            return;
        }
        place(inst);
    }

    void beginKeepTogether() override { ++bufferDepth; }

    void endKeepTogether() override {
        if (bufferDepth == 0 || --bufferDepth > 0)
            return;
        std::vector<InstancePtr> pending;
        pending.swap(buffer);
        double total = 0;
        for (auto& i : pending)
            total += i->height;
        flushChain();
        if (!pending.empty() && curY + total > bodyBottom() + kEps && curY > freshTop + kEps &&
            total <= bodyBottom() - firstBodyTop + kEps) {
            newPage();
            for (auto& r : pending.front()->reprint)
                placeRaw(*r);
        }
        for (auto& i : pending)
            place(i);
    }

    void flush() override {
        if (bufferDepth > 0) {
            bufferDepth = 1;
            endKeepTogether();
        }
        flushChain();
    }

    void finish() {
        flush();
        finishPage();
    }

private:
    double bodyBottom() const {
        return section.paper.height() - section.margins.bottom() - (section.pageFooter ? footerHeight : 0);
    }

    void place(InstancePtr inst) {
        chain.push_back(inst);
        if (inst->keepWithNext)
            return;
        flushChain();
    }

    // Places the pending chain, moving it to a new page as a whole when it does not fit here.
    void flushChain() {
        if (chain.empty())
            return;
        double total = 0;
        for (auto& i : chain)
            total += i->height;
        if (curY + total > bodyBottom() + kEps && curY > freshTop + kEps) {
            newPage();
            for (auto& r : chain.front()->reprint)
                placeRaw(*r);
        }
        std::vector<InstancePtr> items;
        items.swap(chain);
        for (auto& i : items) {
            if (curY + i->height > bodyBottom() + kEps && curY > freshTop + kEps) {
                // A single instance taller than what is left starts a page of its own.
                newPage();
                for (auto& r : i->reprint)
                    placeRaw(*r);
            }
            placeRaw(*i);
        }
    }

    void placeRaw(const BandInstance& inst) {
        PreparedPage& page = e.out.pages.back();
        for (PageItem item : inst.items) {
            translate(item, section.margins.left(), curY);
            page.items.push_back(std::move(item));
        }
        for (const auto& [text, y] : inst.outline)
            e.out.outline.push_back(OutlineEntry{text, e.pagesSoFar() - 1, curY + y, 0});
        curY += inst.height;
    }

    void finishPage() {
        if (e.out.pages.empty() || !pageOpen)
            return;
        pageOpen = false;
        if (!section.pageFooter)
            return;
        auto saved = e.activeReprint;
        e.activeReprint.clear();
        auto instances = e.renderBand(*section.pageFooter);
        e.activeReprint = saved;
        double y = section.paper.height() - section.margins.bottom() - footerHeight;
        PreparedPage& page = e.out.pages.back();
        for (auto& inst : instances) {
            for (PageItem item : inst->items) {
                translate(item, section.margins.left(), y);
                page.items.push_back(std::move(item));
            }
            y += inst->height;
        }
    }

    void newPage() {
        finishPage();
        e.spillFinishedPages();
        PreparedPage page;
        page.paperMm = section.paper;
        page.landscape = section.landscape;
        page.marginsMm = section.margins;
        e.out.pages.push_back(std::move(page));
        e.currentPage = e.pagesSoFar() - 1;
        pageOpen = true;
        curY = section.margins.top();
        if (section.pageFooter) {
            footerHeight = section.pageFooter->height;
            e.resetAggregates(*section.pageFooter);
        }
        if (section.pageHeader) {
            auto saved = e.activeReprint;
            e.activeReprint.clear();
            for (auto& inst : e.renderBand(*section.pageHeader))
                placeRaw(*inst);
            e.activeReprint = saved;
        }
        if (firstPage) {
            firstBodyTop = curY;
            firstPage = false;
        }
        freshTop = curY;
    }

    ReportEnginePrivate& e;
    const ReportPage& section;
    std::vector<InstancePtr> chain;
    std::vector<InstancePtr> buffer;
    int bufferDepth = 0;
    double curY = 0;
    double freshTop = 0;
    double firstBodyTop = 0;
    double footerHeight = 0;
    bool firstPage = true;
    bool pageOpen = false;
};

} // namespace

ReportEngine::ReportEngine(const ReportDocument& document) : d(std::make_unique<ReportEnginePrivate>(document)) {}
ReportEngine::~ReportEngine() = default;

void ReportEngine::bindDataSet(ReportDataSet* dataSet) {
    if (!dataSet)
        return;
    d->dataSets.insert(dataSet->userName().toLower(), dataSet);
    d->dataSetsAsWritten.clear();
}
void ReportEngine::setVariableHandler(VariableHandler handler) { d->variables = std::move(handler); }
void ReportEngine::setFormatSettings(const FormatSettings& settings) { d->settings = settings; }
void ReportEngine::setSpillThreshold(int pages) { d->spillThreshold = pages; }
void ReportEngine::setNow(const QDateTime& now) {
    d->now = now;
    d->nowSet = true;
}

namespace {
std::function<void(bool)>& preparationHook() {
    static std::function<void(bool)> hook;
    return hook;
}
} // namespace

void ReportEngine::setPreparationHook(std::function<void(bool starting)> hook) {
    preparationHook() = std::move(hook);
}

PreparedReport ReportEngine::prepare() {
    if (preparationHook()) {
        preparationHook()(true);
        struct Done {
            ~Done() {
                if (preparationHook())
                    preparationHook()(false);
            }
        } done;
        return prepareReport();
    }
    return prepareReport();
}

PreparedReport ReportEngine::prepareReport() {
    ReportEnginePrivate& e = *d;
    e.out = PreparedReport();
    e.spillStore.reset();
    e.spilledPages = 0;
    e.out.title = e.doc.title.isEmpty() ? e.doc.name : e.doc.title;
    e.memos.clear();
    e.expressions.clear();
    e.accumulators.clear();
    e.accumulatorByNode.clear();
    e.accumulatorsByBand.clear();
    e.counters.clear();
    e.activeReprint.clear();
    if (!e.nowSet)
        e.now = documentTime();
    for (const Counter& c : e.doc.counters)
        e.counters.insert(c.name, 0);

    // Aggregates: every band of every page, fed by its data block's dataset unless it names its own.
    for (const ReportPage& page : e.doc.pages) {
        QString firstDataSet;
        for (const BodyElement& el : page.body) {
            if (const Band* b = std::get_if<Band>(&el)) {
                e.registerAggregates(*b, QString());
                continue;
            }
            const DataBlock& blk = std::get<DataBlock>(el);
            if (firstDataSet.isEmpty())
                firstDataSet = blk.dataSet;
            if (blk.header)
                e.registerAggregates(*blk.header, blk.dataSet);
            for (const GroupLevel& g : blk.groups) {
                e.registerAggregates(g.header, blk.dataSet);
                if (g.footer)
                    e.registerAggregates(*g.footer, blk.dataSet);
            }
            e.registerAggregates(blk.master, blk.dataSet);
            if (blk.footer)
                e.registerAggregates(*blk.footer, blk.dataSet);
        }
        if (page.summary)
            e.registerAggregates(*page.summary, QString());
        if (page.pageFooter)
            e.registerAggregates(*page.pageFooter, QString());
        if (page.pageHeader)
            e.registerAggregates(*page.pageHeader, QString());
    }

    for (const ReportPage& page : e.doc.pages) {
        if (page.subreport)
            continue;
        for (const Counter& c : e.doc.counters)
            if (c.reset == Counter::Reset::Page && c.page.compare(page.name, Qt::CaseInsensitive) == 0)
                e.counters[c.name] = 0;
        if (page.summary)
            e.resetAggregates(*page.summary);
        e.currentSection = &page;
        PageSink sink(e, page);
        sink.start();
        e.runBody(page, sink);
        sink.flush();
        if (page.summary)
            for (auto& inst : e.renderBand(*page.summary))
                sink.emit(inst);
        sink.finish();
    }

    // Fill in the page count: in the pages held here, and in the spilled ones as they are read back.
    const QString total = QString::number(e.pagesSoFar());
    if (e.spillStore) {
        for (PreparedPage& page : e.out.pages)
            e.spillStore->append(std::move(page));
        e.spilledPages += int(e.out.pages.size());
        e.out.pages.clear();
        e.spillStore->setPageCount(kTotalPagesMark, total);
    }
    for (PreparedPage& page : e.out.pages)
        for (PageItem& item : page.items)
            if (auto* t = std::get_if<TextItem>(&item)) {
                bool changed = false;
                for (TextLine& line : t->lines) {
                    for (TextRun& run : line.runs)
                        if (run.text.contains(kTotalPagesMark)) {
                            run.text.replace(kTotalPagesMark, total);
                            changed = true;
                        }
                    if (changed)
                        line.widthMm = e.measurer.lineWidth(t->font, line);
                }
            }
    return std::move(e.out);
}

} // namespace report
