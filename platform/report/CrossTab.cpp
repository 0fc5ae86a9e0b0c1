// The cross-tab in three steps.
//
// Gathering: one pass over the dataset. Each record gives a row key (the texts of the row fields, outer to
// inner, blanks trimmed so that "AB" and "AB  " are one position) and a column key the same way, and adds
// each cell field's value to the cell (row key, column key), to the column's grand total and, when asked,
// to the row's total columns. A cell that no record filled with a value stays empty; totals print 0.
//
// Ordering: the distinct keys are sorted level by level, outer first; each level sorts ascending
// (numbers as numbers, texts in Spanish collation), descending, or in the order the data first showed the
// value.
//
// Layout: the table is a grid. Columns are the row-header columns (one per row field) and, for every
// column group (a column key, an outer group's total, the grand total), one column per cell field. Header
// rows are an optional title row, one row per column field (a value spans the groups it heads) and the
// cell-title row. Widths come from the widest text of each column. Cutting keeps a column group whole and
// a row whole; each part gets the row headers and the header rows again, so every page reads on its own.
#include "CrossTab_p.h"

#include "DisplayFormat.h"

#include <QCollator>
#include <QHash>
#include <algorithm>
#include <cmath>

namespace report::detail {

namespace {

constexpr double kPadding = 1.0;     // mm between the frame and the text
constexpr double kMinHeaderWidth = 15.0;
constexpr double kMinCellWidth = 10.0;

struct Accumulator {
    double sum = 0;
    bool filled = false;
    void add(const QVariant& v) {
        if (!v.isValid() || v.isNull())
            return;
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok) {
            sum += d;
            filled = true;
        }
    }
};

struct Level {
    QHash<QString, int> firstSeen;
    QHash<QString, QVariant> sample; // a raw value, for numeric sorting
};

// The keys of one direction (rows or columns), with what sorting needs.
struct Axis {
    std::vector<Level> levels;
    std::vector<QStringList> keys;
    QHash<QString, int> index; // joined key -> position in keys

    int add(const QStringList& key, const std::vector<QVariant>& raw) {
        const QString joined = key.join(QChar(0x1F));
        if (auto it = index.constFind(joined); it != index.constEnd())
            return *it;
        for (int l = 0; l < key.size(); ++l) {
            Level& level = levels[size_t(l)];
            if (!level.firstSeen.contains(key[l])) {
                level.firstSeen.insert(key[l], int(level.firstSeen.size()));
                level.sample.insert(key[l], raw[size_t(l)]);
            }
        }
        keys.push_back(key);
        index.insert(joined, int(keys.size()) - 1);
        return int(keys.size()) - 1;
    }

    // The key positions in print order.
    std::vector<int> sorted(const std::vector<CrossTabDimension>& dims) const {
        static const QCollator collator = [] {
            QCollator c{QLocale(QLocale::Spanish, QLocale::Colombia)};
            c.setCaseSensitivity(Qt::CaseInsensitive);
            return c;
        }();
        std::vector<int> order(keys.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = int(i);
        const auto compareAt = [&](int l, const QString& a, const QString& b) {
            if (a == b)
                return 0;
            const Level& level = levels[size_t(l)];
            switch (dims[size_t(l)].sort) {
            case CrossTabDimension::Sort::DataOrder:
                return level.firstSeen.value(a) < level.firstSeen.value(b) ? -1 : 1;
            case CrossTabDimension::Sort::Ascending:
            case CrossTabDimension::Sort::Descending: {
                const QVariant va = level.sample.value(a), vb = level.sample.value(b);
                bool na = false, nb = false;
                const double da = va.toDouble(&na), db = vb.toDouble(&nb);
                const bool numeric = na && nb && va.typeId() != QMetaType::QString && vb.typeId() != QMetaType::QString;
                int c = numeric ? (da < db ? -1 : da > db ? 1 : 0) : collator.compare(a, b);
                if (c == 0)
                    c = QString::compare(a, b);
                return dims[size_t(l)].sort == CrossTabDimension::Sort::Descending ? -c : c;
            }
            }
            return 0;
        };
        std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
            const QStringList& a = keys[size_t(x)];
            const QStringList& b = keys[size_t(y)];
            for (int l = 0; l < a.size(); ++l)
                if (const int c = compareAt(l, a[l], b[l]); c != 0)
                    return c < 0;
            return false;
        });
        return order;
    }
};

QString keyText(ReportDataSet& ds, const QString& field, QVariant& raw) {
    raw = ds.value(field);
    return (ds.hasDisplayText(field) ? ds.displayText(field) : raw.toString()).trimmed();
}

// A column group of the printed table: a column key, the total of an outer group, or the grand total.
struct ColumnGroup {
    enum class Kind { Key, OuterTotal, GrandTotal } kind = Kind::Key;
    int key = -1;         // position in the column axis (Key)
    QString outer;        // the outer value it totals (OuterTotal)
    double width = 0;     // sum of its cell columns
    std::vector<double> cellWidths;
};

struct Table {
    // Gathered figures.
    Axis rows, columns;
    QHash<QString, std::vector<Accumulator>> cells;      // row index | column index -> per cell field
    QHash<int, std::vector<Accumulator>> columnTotals;    // column index -> per cell field (the TOTAL row)
    QHash<QString, std::vector<Accumulator>> outerTotals; // row index | outer value
    QHash<QString, std::vector<Accumulator>> outerGrand;  // outer value (TOTAL row)
    QHash<int, std::vector<Accumulator>> rowTotals;       // row index -> grand-total column
    std::vector<Accumulator> grandTotal;

    static QString at(int r, const QString& c) { return QString::number(r) + QChar(0x1F) + c; }
};

std::vector<Accumulator>& slot(QHash<QString, std::vector<Accumulator>>& map, const QString& key, size_t n) {
    auto& v = map[key];
    if (v.size() < n)
        v.resize(n);
    return v;
}
std::vector<Accumulator>& slot(QHash<int, std::vector<Accumulator>>& map, int key, size_t n) {
    auto& v = map[key];
    if (v.size() < n)
        v.resize(n);
    return v;
}

} // namespace

std::vector<CrossTabPart> layoutCrossTab(const CrossTabView& view, ReportDataSet* ds, const FormatSettings& settings,
                                         const TextMeasurer& measurer, double maxWidth, double maxHeight) {
    const size_t nCells = std::max<size_t>(1, view.cells.size());
    Table t;
    t.rows.levels.resize(view.rows.size());
    t.columns.levels.resize(view.columns.size());
    t.grandTotal.resize(nCells);

    // --- gathering ---
    if (ds && ds->recordCount() > 0) {
        for (ds->first(); !ds->eof(); ds->next()) {
            QStringList rowKey, colKey;
            std::vector<QVariant> rowRaw(view.rows.size()), colRaw(view.columns.size());
            for (size_t l = 0; l < view.rows.size(); ++l)
                rowKey << keyText(*ds, view.rows[l].field, rowRaw[l]);
            for (size_t l = 0; l < view.columns.size(); ++l)
                colKey << keyText(*ds, view.columns[l].field, colRaw[l]);
            const int r = t.rows.add(rowKey, rowRaw);
            const int c = t.columns.add(colKey, colRaw);
            const QString outer = colKey.value(0);
            auto& cell = slot(t.cells, Table::at(r, QString::number(c)), nCells);
            auto& colTotal = slot(t.columnTotals, c, nCells);
            auto& outerTotal = slot(t.outerTotals, Table::at(r, outer), nCells);
            auto& outerGrand = slot(t.outerGrand, outer, nCells);
            auto& rowTotal = slot(t.rowTotals, r, nCells);
            for (size_t i = 0; i < view.cells.size(); ++i) {
                const QVariant v = ds->value(view.cells[i].field);
                for (Accumulator* a : {&cell[i], &colTotal[i], &outerTotal[i], &outerGrand[i], &rowTotal[i],
                                       &t.grandTotal[i]})
                    a->add(v);
            }
        }
    }
    const std::vector<int> rowOrder = t.rows.sorted(view.rows);
    const std::vector<int> colOrder = t.columns.sorted(view.columns);

    // --- texts and widths ---
    FontSpec font = view.font;
    FontSpec headerFont = font;
    headerFont.bold = true;
    const auto textWidth = [&](const FontSpec& f, const QString& s) {
        TextRun run;
        run.text = s;
        run.bold = f.bold;
        return measurer.width(f, run) + 2 * kPadding + 0.5;
    };
    std::vector<DisplayFormat> formats;
    for (const CrossTabCell& c : view.cells)
        formats.emplace_back(c.displayFormat);
    const auto cellText = [&](size_t i, const Accumulator& a, bool total) {
        if (!a.filled && !total)
            return QString();
        return formats[i].isEmpty() ? QString::number(a.sum, 'g', 15) : formats[i].format(a.sum, settings);
    };

    std::vector<ColumnGroup> groups;
    const bool outerTotals = !view.columns.empty() && view.columns[0].totals;
    for (size_t i = 0; i < colOrder.size(); ++i) {
        ColumnGroup g;
        g.key = colOrder[i];
        groups.push_back(g);
        const QString outer = t.columns.keys[size_t(colOrder[i])].value(0);
        const bool lastOfOuter =
            i + 1 == colOrder.size() || t.columns.keys[size_t(colOrder[i + 1])].value(0) != outer;
        if (outerTotals && lastOfOuter && view.columns.size() > 1) {
            ColumnGroup total;
            total.kind = ColumnGroup::Kind::OuterTotal;
            total.outer = outer;
            groups.push_back(total);
        }
    }
    if (view.columnGrandTotal) {
        ColumnGroup g;
        g.kind = ColumnGroup::Kind::GrandTotal;
        groups.push_back(g);
    }

    // The figures of a group on a data row (row >= 0) or on the TOTAL row (row < 0).
    const auto figures = [&](const ColumnGroup& g, int row) -> std::vector<Accumulator> {
        std::vector<Accumulator> none(nCells);
        switch (g.kind) {
        case ColumnGroup::Kind::Key:
            return row >= 0 ? t.cells.value(Table::at(row, QString::number(g.key)), none)
                            : t.columnTotals.value(g.key, none);
        case ColumnGroup::Kind::OuterTotal:
            return row >= 0 ? t.outerTotals.value(Table::at(row, g.outer), none) : t.outerGrand.value(g.outer, none);
        case ColumnGroup::Kind::GrandTotal:
            return row >= 0 ? t.rowTotals.value(row, none) : t.grandTotal;
        }
        return none;
    };

    const bool cellTitleRow = view.cells.size() > 1 ||
                              std::any_of(view.cells.begin(), view.cells.end(), [](const CrossTabCell& c) {
                                  return !c.title.isEmpty();
                              });
    for (ColumnGroup& g : groups) {
        g.cellWidths.assign(nCells, kMinCellWidth);
        for (size_t i = 0; i < view.cells.size(); ++i) {
            double w = std::max(kMinCellWidth, cellTitleRow ? textWidth(headerFont, view.cells[i].title) : 0.0);
            for (int r : rowOrder)
                w = std::max(w, textWidth(font, cellText(i, figures(g, r)[i], false)));
            if (view.rowGrandTotal)
                w = std::max(w, textWidth(headerFont, cellText(i, figures(g, -1)[i], true)));
            g.cellWidths[i] = w;
        }
        g.width = 0;
        for (double w : g.cellWidths)
            g.width += w;
        // The group's own header texts must fit above it.
        double need = 0;
        if (g.kind == ColumnGroup::Kind::Key) {
            const QStringList& key = t.columns.keys[size_t(g.key)];
            if (!key.isEmpty())
                need = textWidth(headerFont, key.last());
        } else {
            need = textWidth(headerFont, g.kind == ColumnGroup::Kind::GrandTotal
                                             ? QStringLiteral("TOTAL")
                                             : view.columns[0].totalTitle + QLatin1Char(' ') + g.outer);
        }
        if (need > g.width) {
            const double extra = (need - g.width) / double(nCells);
            for (double& w : g.cellWidths)
                w += extra;
            g.width = need;
        }
    }

    // An outer value spans the groups it heads: widen them when its text needs more.
    for (size_t l = 0; l + 1 < view.columns.size(); ++l) {
        for (size_t g = 0; g < groups.size();) {
            if (groups[g].kind != ColumnGroup::Kind::Key) {
                ++g;
                continue;
            }
            const QStringList prefix = t.columns.keys[size_t(groups[g].key)].mid(0, int(l) + 1);
            size_t end = g;
            double width = 0;
            while (end < groups.size() && groups[end].kind == ColumnGroup::Kind::Key &&
                   t.columns.keys[size_t(groups[end].key)].mid(0, int(l) + 1) == prefix)
                width += groups[end++].width;
            const double need = textWidth(headerFont, prefix.value(int(l)));
            if (need > width) {
                const double extra = (need - width) / double((end - g) * nCells);
                for (size_t k = g; k < end; ++k) {
                    for (double& w : groups[k].cellWidths)
                        w += extra;
                    groups[k].width += extra * double(nCells);
                }
            }
            g = end;
        }
    }

    std::vector<double> rowHeaderWidths(std::max<size_t>(1, view.rows.size()), kMinHeaderWidth);
    for (size_t l = 0; l < view.rows.size(); ++l) {
        const QString title = l == 0 && !view.cornerRowTitle.isEmpty() ? view.cornerRowTitle : view.rows[l].title;
        double w = std::max(kMinHeaderWidth, textWidth(headerFont, title));
        for (const QStringList& key : t.rows.keys)
            w = std::max(w, textWidth(font, key[l]));
        rowHeaderWidths[l] = w;
    }
    rowHeaderWidths[0] = std::max(rowHeaderWidths[0], textWidth(headerFont, QStringLiteral("TOTAL")));
    double rowHeaderWidth = 0;
    for (double w : rowHeaderWidths)
        rowHeaderWidth += w;
    // The corner's title must fit too.
    if (!view.cornerCellTitle.isEmpty())
        rowHeaderWidth = std::max(rowHeaderWidth, textWidth(headerFont, view.cornerCellTitle));
    if (view.rows.size() == 1)
        rowHeaderWidths[0] = rowHeaderWidth;

    const double lineHeight = measurer.lineHeight(font);
    const double rowHeight = std::ceil((lineHeight + 1.2) * 10) / 10;
    const bool titleRow = !view.cornerColumnTitle.isEmpty();
    const int levelRows = int(view.columns.size());
    const int headerRows = int(titleRow) + levelRows + int(cellTitleRow);
    const double headerHeight = headerRows * rowHeight;

    // --- cutting ---
    std::vector<std::pair<size_t, size_t>> columnParts; // [first, last) groups
    {
        const double room = maxWidth - rowHeaderWidth;
        size_t first = 0;
        double used = 0;
        for (size_t i = 0; i < groups.size(); ++i) {
            if (i > first && used + groups[i].width > room + 1e-6) {
                columnParts.emplace_back(first, i);
                first = i;
                used = 0;
            }
            used += groups[i].width;
        }
        columnParts.emplace_back(first, groups.size());
    }
    const int bodyRows = int(rowOrder.size()) + int(view.rowGrandTotal);
    const int rowsPerPart = std::max(1, int(std::floor((maxHeight - headerHeight + 1e-6) / rowHeight)));
    std::vector<std::pair<int, int>> rowParts; // [first, last) body rows; the TOTAL row is the last body row
    for (int first = 0; first < bodyRows || rowParts.empty(); first += rowsPerPart)
        rowParts.emplace_back(first, std::min(bodyRows, first + rowsPerPart));

    // --- drawing ---
    const auto makeCell = [&](CrossTabPart& part, const QRectF& rect, const QString& text, const FontSpec& f,
                              HAlign align, const QColor& fill, const CellValue& value = CellValue()) {
        TextItem item;
        item.rect = rect;
        item.font = f;
        item.hAlign = align;
        item.vAlign = VAlign::Center;
        item.lineHeightMm = lineHeight;
        item.ascentMm = measurer.ascent(f);
        item.paddingMm = kPadding;
        item.frame = FrameSpec{true, true, true, true, 0.5, Qt::black};
        item.fill = fill;
        item.value = value;
        item.name = QStringLiteral("CrossTab");
        TextRun run;
        run.text = text;
        run.bold = f.bold;
        item.lines = measurer.breakLines(f, {run}, std::max(0.0, rect.width() - 2 * kPadding), false);
        part.items.emplace_back(std::move(item));
    };

    std::vector<CrossTabPart> parts;
    for (const auto& [firstRow, lastRow] : rowParts) {
        for (const auto& [firstGroup, lastGroup] : columnParts) {
            CrossTabPart part;
            double dataWidth = 0;
            for (size_t g = firstGroup; g < lastGroup; ++g)
                dataWidth += groups[g].width;
            part.width = rowHeaderWidth + dataWidth;
            double y = 0;
            // Corner: the cell title over every header row but the last; the row titles in the last.
            if (headerRows > 1)
                makeCell(part, QRectF(0, 0, rowHeaderWidth, (headerRows - 1) * rowHeight), view.cornerCellTitle,
                         headerFont, HAlign::Center, view.headerFill);
            {
                double x = 0;
                const double cornerY = (headerRows - 1) * rowHeight;
                if (view.rows.empty())
                    makeCell(part, QRectF(0, cornerY, rowHeaderWidth, rowHeight),
                             headerRows == 1 ? view.cornerCellTitle : QString(), headerFont, HAlign::Center,
                             view.headerFill);
                for (size_t l = 0; l < view.rows.size(); ++l) {
                    const QString title =
                        l == 0 && !view.cornerRowTitle.isEmpty() ? view.cornerRowTitle : view.rows[l].title;
                    makeCell(part, QRectF(x, cornerY, rowHeaderWidths[l], rowHeight), title, headerFont,
                             HAlign::Center, view.headerFill);
                    x += rowHeaderWidths[l];
                }
            }
            if (titleRow && dataWidth > 0) {
                makeCell(part, QRectF(rowHeaderWidth, 0, dataWidth, rowHeight), view.cornerColumnTitle, headerFont,
                         HAlign::Center, view.headerFill);
            }
            y = titleRow ? rowHeight : 0;
            // Column value rows: a value spans the consecutive groups it heads.
            for (int l = 0; l < levelRows; ++l) {
                double x = rowHeaderWidth;
                for (size_t g = firstGroup; g < lastGroup;) {
                    const ColumnGroup& group = groups[g];
                    if (group.kind != ColumnGroup::Kind::Key) {
                        // A total's title fills the value rows from this level down.
                        if (l == 0) {
                            const QString title = group.kind == ColumnGroup::Kind::GrandTotal
                                                      ? QStringLiteral("TOTAL")
                                                      : view.columns[0].totalTitle + QLatin1Char(' ') + group.outer;
                            makeCell(part, QRectF(x, y, group.width, levelRows * rowHeight), title, headerFont,
                                     HAlign::Center, view.headerFill);
                        }
                        x += group.width;
                        ++g;
                        continue;
                    }
                    const QStringList& key = t.columns.keys[size_t(group.key)];
                    double width = group.width;
                    size_t next = g + 1;
                    while (next < lastGroup && groups[next].kind == ColumnGroup::Kind::Key &&
                           t.columns.keys[size_t(groups[next].key)].mid(0, l + 1) == key.mid(0, l + 1)) {
                        width += groups[next].width;
                        ++next;
                    }
                    makeCell(part, QRectF(x, y, width, rowHeight), key.value(l), headerFont, HAlign::Center,
                             view.headerFill);
                    x += width;
                    g = next;
                }
                y += rowHeight;
            }
            if (cellTitleRow) {
                double x = rowHeaderWidth;
                for (size_t g = firstGroup; g < lastGroup; ++g)
                    for (size_t i = 0; i < nCells; ++i) {
                        makeCell(part, QRectF(x, y, groups[g].cellWidths[i], rowHeight),
                                 i < view.cells.size() ? view.cells[i].title : QString(), headerFont, HAlign::Center,
                                 view.headerFill);
                        x += groups[g].cellWidths[i];
                    }
                y += rowHeight;
            }
            // Body rows; an outer row value spans the rows of this part that share it.
            for (int b = firstRow; b < lastRow; ++b) {
                const bool total = b >= int(rowOrder.size());
                const int row = total ? -1 : rowOrder[size_t(b)];
                double x = 0;
                if (total) {
                    makeCell(part, QRectF(0, y, rowHeaderWidth, rowHeight), QStringLiteral("TOTAL"), headerFont,
                             HAlign::Left, view.headerFill);
                } else {
                    const QStringList& key = t.rows.keys[size_t(row)];
                    for (size_t l = 0; l < view.rows.size(); ++l) {
                        const bool continues = b > firstRow && l + 1 < view.rows.size() &&
                                               t.rows.keys[size_t(rowOrder[size_t(b - 1)])].mid(0, int(l) + 1) ==
                                                   key.mid(0, int(l) + 1);
                        if (!continues) {
                            int span = 1;
                            while (l + 1 < view.rows.size() && b + span < lastRow &&
                                   b + span < int(rowOrder.size()) &&
                                   t.rows.keys[size_t(rowOrder[size_t(b + span)])].mid(0, int(l) + 1) ==
                                       key.mid(0, int(l) + 1))
                                ++span;
                            makeCell(part, QRectF(x, y, rowHeaderWidths[l], span * rowHeight), key[l], font,
                                     HAlign::Left, view.headerFill);
                        }
                        x += rowHeaderWidths[l];
                    }
                }
                x = rowHeaderWidth;
                const FontSpec& f = total ? headerFont : font;
                for (size_t g = firstGroup; g < lastGroup; ++g) {
                    const std::vector<Accumulator> values = figures(groups[g], row);
                    for (size_t i = 0; i < nCells; ++i) {
                        const Accumulator a = i < values.size() ? values[i] : Accumulator();
                        const QString text = i < view.cells.size() ? cellText(i, a, total) : QString();
                        CellValue value;
                        if (!text.isEmpty()) {
                            value = formats[i].cellValue(a.sum, settings);
                            if (value.kind == CellValue::Kind::None) {
                                value.kind = CellValue::Kind::Number;
                                value.number = a.sum;
                            }
                        }
                        makeCell(part, QRectF(x, y, groups[g].cellWidths[i], rowHeight), text, f, HAlign::Right,
                                 view.cellFill, value);
                        x += groups[g].cellWidths[i];
                    }
                }
                y += rowHeight;
            }
            part.height = y;
            parts.push_back(std::move(part));
        }
    }
    return parts;
}

} // namespace report::detail
