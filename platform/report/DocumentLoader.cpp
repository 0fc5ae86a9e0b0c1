#include "DocumentLoader.h"

#include "Expression.h"
#include "GeneralError.h"

#include <QDomDocument>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace report {

namespace {

// What the XML reader says about a file that is not well formed, in the layout author's language; a
// message it has not been taught keeps the reader's own words as a technical detail.
QString xmlProblem(const QString& message) {
    static const std::pair<const char*, const char*> kFixed[] = {
        {"Opening and ending tag mismatch.", "la etiqueta que cierra no es la que estaba abierta"},
        {"Premature end of document.", "el archivo termina antes de cerrar todas las etiquetas"},
        {"Extra content at end of document.", "hay texto después de la etiqueta que cierra el documento"},
        {"Invalid XML character.", "hay un carácter que XML no admite"},
        {"Invalid XML name.", "hay un nombre de etiqueta o de atributo no válido"},
        {"Start tag expected.", "falta la etiqueta inicial del documento"},
    };
    for (const auto& [english, spanish] : kFixed)
        if (message == QLatin1String(english))
            return QString::fromUtf8(spanish);
    static const QRegularExpression expected(QStringLiteral("^Expected (.+), but got '(.*)'\\.$"));
    if (const QRegularExpressionMatch m = expected.match(message); m.hasMatch())
        return QStringLiteral("se esperaba %1 y hay '%2'").arg(m.captured(1), m.captured(2));
    static const QRegularExpression redefined(QStringLiteral("^Attribute '(.*)' redefined\\.$"));
    if (const QRegularExpressionMatch m = redefined.match(message); m.hasMatch())
        return QStringLiteral("el atributo '%1' está repetido").arg(m.captured(1));
    static const QRegularExpression entity(QStringLiteral("^Entity '(.*)' not declared\\.$"));
    if (const QRegularExpressionMatch m = entity.match(message); m.hasMatch())
        return QStringLiteral("la entidad '&%1;' no existe (escriba &amp; para un '&')").arg(m.captured(1));
    return QStringLiteral("el XML no está bien formado (detalle técnico: %1)").arg(message);
}


class Reader {
public:
    Reader(const QString& file, const DocumentLoader::FragmentResolver& fragments)
        : m_file(file), m_fragments(fragments) {}

    [[noreturn]] void fail(const QDomNode& node, const QString& what) const {
        throw GeneralError(QStringLiteral("%1:%2: %3").arg(m_file).arg(node.lineNumber()).arg(what));
    }

    QString attr(const QDomElement& e, const char* name, const QString& def = QString()) const {
        const QString key = QString::fromLatin1(name);
        return e.hasAttribute(key) ? substitute(e.attribute(key)) : def;
    }

    double number(const QDomElement& e, const char* name, double def = 0) const {
        const QString v = attr(e, name);
        if (v.isEmpty())
            return def;
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok)
            fail(e, QStringLiteral("el atributo %1 no es un número: '%2'").arg(QString::fromLatin1(name), v));
        return d;
    }

    bool flag(const QDomElement& e, const char* name, bool def = false) const {
        const QString v = attr(e, name).toLower();
        if (v.isEmpty())
            return def;
        if (v == QLatin1String("true") || v == QLatin1String("1") || v == QLatin1String("yes"))
            return true;
        if (v == QLatin1String("false") || v == QLatin1String("0") || v == QLatin1String("no"))
            return false;
        fail(e, QStringLiteral("el atributo %1 debe ser true o false: '%2'").arg(QString::fromLatin1(name), v));
    }

    QColor color(const QDomElement& e, const char* name, const QColor& def = QColor()) const {
        const QString v = attr(e, name);
        if (v.isEmpty())
            return def;
        QColor c = QColor::fromString(v);
        if (!c.isValid())
            fail(e, QStringLiteral("color no válido: '%1'").arg(v));
        return c;
    }

    QString expression(const QDomElement& e, const char* name) const {
        const QString v = attr(e, name);
        check(e, v);
        return v;
    }

    void check(const QDomNode& node, const QString& expr) const {
        if (expr.trimmed().isEmpty())
            return;
        try {
            Expression::parse(expr);
        } catch (const GeneralError& err) {
            fail(node, err.message());
        }
    }

    // Checks the "[...]" segments of a memo text.
    void checkText(const QDomNode& node, const QString& text) const {
        std::vector<TextSegment> pieces;
        try {
            pieces = splitBracketed(text);
        } catch (const GeneralError& err) {
            fail(node, err.message());
        }
        for (const TextSegment& piece : pieces)
            if (piece.isExpression)
                check(node, piece.text);
    }

    QString substitute(QString text) const {
        for (auto it = m_params.cbegin(); it != m_params.cend(); ++it)
            text.replace(QLatin1Char('{') + it.key() + QLatin1Char('}'), it.value());
        return text;
    }

    ObjectCommon common(const QDomElement& e) const {
        ObjectCommon c;
        c.name = attr(e, "name");
        c.rect = QRectF(number(e, "left"), number(e, "top"), number(e, "width"), number(e, "height"));
        if (c.rect.width() < 0 || c.rect.height() < 0)
            fail(e, QStringLiteral("el objeto %1 tiene un tamaño negativo").arg(c.name));
        c.visibleIf = expression(e, "visibleIf");
        return c;
    }

    FontSpec font(const QDomElement& e, const FontSpec& base = FontSpec()) const {
        FontSpec f = base;
        f.family = attr(e, "font", f.family);
        f.sizePt = number(e, "size", f.sizePt);
        f.bold = flag(e, "bold", f.bold);
        f.italic = flag(e, "italic", f.italic);
        f.underline = flag(e, "underline", f.underline);
        f.color = color(e, "color", f.color);
        if (f.sizePt <= 0)
            fail(e, QStringLiteral("tamaño de letra no válido"));
        return f;
    }

    FrameSpec frame(const QDomElement& e) const {
        FrameSpec f;
        const QString v = attr(e, "frame").toLower();
        if (v == QLatin1String("all")) {
            f.left = f.top = f.right = f.bottom = true;
        } else if (!v.isEmpty() && v != QLatin1String("none")) {
            for (const QString& side : v.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                const QString s = side.trimmed();
                if (s == QLatin1String("left")) f.left = true;
                else if (s == QLatin1String("top")) f.top = true;
                else if (s == QLatin1String("right")) f.right = true;
                else if (s == QLatin1String("bottom")) f.bottom = true;
                else fail(e, QStringLiteral("lado de marco desconocido: '%1'").arg(s));
            }
        }
        f.widthPt = number(e, "frameWidth", f.widthPt);
        f.color = color(e, "frameColor", f.color);
        return f;
    }

    HAlign hAlign(const QDomElement& e) const {
        const QString v = attr(e, "align", QStringLiteral("left")).toLower();
        if (v == QLatin1String("left")) return HAlign::Left;
        if (v == QLatin1String("center")) return HAlign::Center;
        if (v == QLatin1String("right")) return HAlign::Right;
        if (v == QLatin1String("justify")) return HAlign::Justify;
        fail(e, QStringLiteral("alineación desconocida: '%1'").arg(v));
    }

    VAlign vAlign(const QDomElement& e) const {
        const QString v = attr(e, "valign", QStringLiteral("top")).toLower();
        if (v == QLatin1String("top")) return VAlign::Top;
        if (v == QLatin1String("center")) return VAlign::Center;
        if (v == QLatin1String("bottom")) return VAlign::Bottom;
        fail(e, QStringLiteral("alineación vertical desconocida: '%1'").arg(v));
    }

    CrossTabDimension dimension(const QDomElement& e) const {
        CrossTabDimension d;
        d.field = attr(e, "field");
        if (d.field.isEmpty())
            fail(e, QStringLiteral("la dimensión no tiene campo"));
        d.title = attr(e, "title");
        const QString sort = attr(e, "sort", QStringLiteral("ascending")).toLower();
        d.sort = sort == QLatin1String("descending") ? CrossTabDimension::Sort::Descending
                 : sort == QLatin1String("data")     ? CrossTabDimension::Sort::DataOrder
                                                     : CrossTabDimension::Sort::Ascending;
        d.totals = flag(e, "totals");
        d.totalTitle = attr(e, "totalTitle", d.totalTitle);
        return d;
    }

    ReportObject object(const QDomElement& e) const {
        const QString tag = e.tagName();
        if (tag == QLatin1String("memo")) {
            MemoView m;
            static_cast<ObjectCommon&>(m) = common(e);
            m.text = substitute(e.text());
            checkText(e, m.text);
            m.font = font(e);
            m.hAlign = hAlign(e);
            m.vAlign = vAlign(e);
            m.wordWrap = flag(e, "wrap", true);
            m.allowMarkup = flag(e, "markup");
            m.stretch = flag(e, "stretch");
            m.frame = frame(e);
            m.fill = color(e, "fill");
            m.displayFormat = attr(e, "format");
            m.hideZeros = flag(e, "hideZeros");
            return m;
        }
        if (tag == QLatin1String("picture")) {
            PictureView p;
            static_cast<ObjectCommon&>(p) = common(e);
            p.dataSet = attr(e, "dataset");
            p.field = attr(e, "field");
            p.center = flag(e, "center", true);
            p.keepAspect = flag(e, "keepAspect", true);
            return p;
        }
        if (tag == QLatin1String("line")) {
            LineView l;
            static_cast<ObjectCommon&>(l) = common(e);
            l.widthPt = number(e, "widthPt", 1.0);
            l.color = color(e, "color", Qt::black);
            return l;
        }
        if (tag == QLatin1String("subreport")) {
            SubreportView s;
            static_cast<ObjectCommon&>(s) = common(e);
            s.page = attr(e, "page");
            if (s.page.isEmpty())
                fail(e, QStringLiteral("el subinforme no indica su página"));
            return s;
        }
        if (tag == QLatin1String("crosstab")) {
            CrossTabView c;
            static_cast<ObjectCommon&>(c) = common(e);
            c.dataSet = attr(e, "dataset");
            c.font = font(e);
            c.cornerRowTitle = attr(e, "cornerRowTitle");
            c.cornerColumnTitle = attr(e, "cornerColumnTitle");
            c.cornerCellTitle = attr(e, "cornerCellTitle");
            c.showTitle = flag(e, "showTitle");
            c.rowGrandTotal = flag(e, "rowGrandTotal", true);
            c.columnGrandTotal = flag(e, "columnGrandTotal");
            c.headerFill = color(e, "headerFill");
            c.cellFill = color(e, "cellFill");
            for (QDomElement s = e.firstChildElement(); !s.isNull(); s = s.nextSiblingElement()) {
                if (s.tagName() == QLatin1String("row"))
                    c.rows.push_back(dimension(s));
                else if (s.tagName() == QLatin1String("column"))
                    c.columns.push_back(dimension(s));
                else if (s.tagName() == QLatin1String("cell"))
                    c.cells.push_back(CrossTabCell{attr(s, "field"), attr(s, "title"), attr(s, "format"),
                                                   CrossTabCell::Function::Sum});
                else
                    fail(s, QStringLiteral("elemento desconocido en la tabla cruzada: <%1>").arg(s.tagName()));
            }
            return c;
        }
        if (tag == QLatin1String("chart")) {
            ChartView c;
            static_cast<ObjectCommon&>(c) = common(e);
            c.dataSet = attr(e, "dataset");
            c.title = attr(e, "title");
            const QString legend = attr(e, "legend", QStringLiteral("top")).toLower();
            c.legend = legend == QLatin1String("bottom") ? ChartView::LegendPosition::Bottom
                       : legend == QLatin1String("right") ? ChartView::LegendPosition::Right
                       : legend == QLatin1String("none")  ? ChartView::LegendPosition::None
                                                          : ChartView::LegendPosition::Top;
            for (QDomElement s = e.firstChildElement(QStringLiteral("series")); !s.isNull();
                 s = s.nextSiblingElement(QStringLiteral("series"))) {
                ChartSeries series{attr(s, "title"), attr(s, "category"), attr(s, "value"), attr(s, "format", QStringLiteral("0"))};
                check(s, series.categoryExpr);
                check(s, series.valueExpr);
                c.series.push_back(series);
            }
            return c;
        }
        fail(e, QStringLiteral("objeto desconocido: <%1>").arg(tag));
    }

    Band band(const QDomElement& e, BandKind kind) const {
        Band b;
        b.kind = kind;
        b.name = attr(e, "name");
        b.height = number(e, "height");
        b.stretch = flag(e, "stretch");
        b.equalCellHeights = flag(e, "equalCellHeights");
        b.keepTogether = flag(e, "keepTogether");
        b.reprintOnNewPage = flag(e, "reprintOnNewPage");
        b.startNewPage = flag(e, "startNewPage");
        b.visibleIf = expression(e, "visibleIf");
        b.outlineText = expression(e, "outline");
        for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
            if (c.tagName() == QLatin1String("child")) {
                if (b.child)
                    fail(c, QStringLiteral("una banda admite una sola banda hija"));
                b.child = std::make_shared<Band>(band(c, BandKind::Child));
            } else {
                b.objects.push_back(object(c));
            }
        }
        return b;
    }

    DataBlock dataBlock(const QDomElement& e) const {
        DataBlock blk;
        blk.dataSet = attr(e, "dataset");
        blk.rowCount = static_cast<int>(number(e, "rowCount", 1));
        bool haveMaster = false;
        for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
            const QString tag = c.tagName();
            if (tag == QLatin1String("header")) {
                blk.header = band(c, BandKind::Header);
            } else if (tag == QLatin1String("footer")) {
                blk.footer = band(c, BandKind::Footer);
            } else if (tag == QLatin1String("masterData")) {
                if (haveMaster)
                    fail(c, QStringLiteral("un bloque de datos admite una sola banda de datos"));
                blk.master = band(c, BandKind::MasterData);
                haveMaster = true;
            } else if (tag == QLatin1String("group")) {
                GroupLevel g;
                g.condition = expression(c, "condition");
                if (g.condition.trimmed().isEmpty())
                    fail(c, QStringLiteral("el grupo no tiene condición"));
                g.keepTogether = flag(c, "keepTogether");
                const QDomElement h = c.firstChildElement(QStringLiteral("groupHeader"));
                if (h.isNull())
                    fail(c, QStringLiteral("el grupo no tiene encabezado <groupHeader>"));
                g.header = band(h, BandKind::GroupHeader);
                const QDomElement f = c.firstChildElement(QStringLiteral("groupFooter"));
                if (!f.isNull())
                    g.footer = band(f, BandKind::GroupFooter);
                blk.groups.push_back(std::move(g));
            } else {
                fail(c, QStringLiteral("elemento desconocido en el bloque de datos: <%1>").arg(tag));
            }
        }
        if (!haveMaster)
            fail(e, QStringLiteral("el bloque de datos no tiene banda <masterData>"));
        return blk;
    }

    // Inserts the bands of a fragment into the page.
    void include(const QDomElement& e, ReportPage& page) {
        const QString name = e.attribute(QStringLiteral("fragment"));
        const QByteArray xml = m_fragments ? m_fragments(name) : QByteArray();
        if (xml.isEmpty())
            fail(e, QStringLiteral("fragmento desconocido: '%1'").arg(name));
        QDomDocument frag;
        QString message;
        int line = 0;
        if (!frag.setContent(xml, &message, &line))
            fail(e, QStringLiteral("el fragmento '%1' no es XML válido (línea %2): %3")
                        .arg(name)
                        .arg(line)
                        .arg(xmlProblem(message)));
        const QHash<QString, QString> saved = m_params;
        // The fragment's own attributes are the defaults of its parameters.
        const QDomNamedNodeMap defaults = frag.documentElement().attributes();
        for (int i = 0; i < defaults.count(); ++i) {
            const QDomAttr a = defaults.item(i).toAttr();
            m_params.insert(a.name(), a.value());
        }
        const QDomNamedNodeMap attrs = e.attributes();
        for (int i = 0; i < attrs.count(); ++i) {
            const QDomAttr a = attrs.item(i).toAttr();
            if (a.name() != QLatin1String("fragment"))
                m_params.insert(a.name(), substitute(a.value()));
        }
        const QString savedFile = m_file;
        m_file = QStringLiteral("%1 (fragmento %2)").arg(savedFile, name);
        pageChildren(frag.documentElement(), page);
        m_file = savedFile;
        m_params = saved;
    }

    void pageChildren(const QDomElement& parent, ReportPage& page) {
        for (QDomElement c = parent.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
            const QString tag = c.tagName();
            if (tag == QLatin1String("pageHeader")) {
                page.pageHeader = band(c, BandKind::PageHeader);
            } else if (tag == QLatin1String("pageFooter")) {
                page.pageFooter = band(c, BandKind::PageFooter);
            } else if (tag == QLatin1String("summary")) {
                page.summary = band(c, BandKind::Summary);
            } else if (tag == QLatin1String("band")) {
                page.body.emplace_back(band(c, BandKind::Plain));
            } else if (tag == QLatin1String("dataBlock")) {
                page.body.emplace_back(dataBlock(c));
            } else if (tag == QLatin1String("include")) {
                include(c, page);
            } else {
                fail(c, QStringLiteral("elemento desconocido en la página: <%1>").arg(tag));
            }
        }
    }

    QSizeF paper(const QDomElement& e, bool landscape) const {
        const QString v = attr(e, "paper", QStringLiteral("letter")).toLower();
        QSizeF s;
        if (v == QLatin1String("letter"))
            s = QSizeF(215.9, 279.4);
        else if (v == QLatin1String("legal"))
            s = QSizeF(215.9, 355.6);
        else if (v == QLatin1String("a4"))
            s = QSizeF(210, 297);
        else {
            const QStringList parts = v.split(QLatin1Char('x'));
            bool ok1 = false, ok2 = false;
            if (parts.size() == 2)
                s = QSizeF(parts[0].toDouble(&ok1), parts[1].toDouble(&ok2));
            if (!ok1 || !ok2 || s.width() <= 0 || s.height() <= 0)
                fail(e, QStringLiteral("tamaño de papel no válido: '%1'").arg(v));
            // Custom sizes are written as width x height of the oriented page.
            return s;
        }
        return landscape ? s.transposed() : s;
    }

    ReportDocument document(const QDomElement& root) {
        if (root.tagName() != QLatin1String("report"))
            fail(root, QStringLiteral("el documento no es un informe (<report>)"));
        ReportDocument doc;
        doc.sourceFile = m_file;
        doc.name = attr(root, "name");
        doc.title = attr(root, "title");
        QSet<QString> bandNames;
        for (QDomElement c = root.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
            const QString tag = c.tagName();
            if (tag == QLatin1String("variable")) {
                doc.variables << attr(c, "name");
            } else if (tag == QLatin1String("counter")) {
                Counter k;
                k.name = attr(c, "name");
                k.incrementOn = attr(c, "incrementOn");
                k.page = attr(c, "page");
                k.reset = attr(c, "reset", QStringLiteral("report")).toLower() == QLatin1String("page")
                              ? Counter::Reset::Page
                              : Counter::Reset::Report;
                if (k.name.isEmpty())
                    fail(c, QStringLiteral("el contador no tiene nombre"));
                doc.counters.push_back(k);
            } else if (tag == QLatin1String("page")) {
                ReportPage p;
                p.name = attr(c, "name");
                const QString orientation = attr(c, "orientation", QStringLiteral("portrait")).toLower();
                if (orientation != QLatin1String("portrait") && orientation != QLatin1String("landscape"))
                    fail(c, QStringLiteral("orientación desconocida: '%1'").arg(orientation));
                p.landscape = orientation == QLatin1String("landscape");
                p.paper = paper(c, p.landscape);
                const double m = number(c, "margins", 10);
                p.margins = QMarginsF(m, m, m, m);
                p.subreport = flag(c, "subreport");
                pageChildren(c, p);
                doc.pages.push_back(std::move(p));
            } else {
                fail(c, QStringLiteral("elemento desconocido en el informe: <%1>").arg(tag));
            }
        }
        if (doc.pages.empty())
            fail(root, QStringLiteral("el informe no tiene páginas"));
        for (const ReportPage& p : doc.pages)
            for (const BodyElement& el : p.body)
                if (const DataBlock* b = std::get_if<DataBlock>(&el))
                    for (const ReportObject& o : b->master.objects)
                        if (const auto* s = std::get_if<SubreportView>(&o))
                            if (!doc.findPage(s->page))
                                fail(root, QStringLiteral("el subinforme %1 apunta a la página inexistente '%2'")
                                               .arg(s->name, s->page));
        return doc;
    }

private:
    QString m_file;
    const DocumentLoader::FragmentResolver& m_fragments;
    QHash<QString, QString> m_params;
};

} // namespace

ReportDocument DocumentLoader::load(const QByteArray& xml, const QString& fileName) const {
    QDomDocument dom;
    QString message;
    int line = 0;
    if (!dom.setContent(xml, &message, &line))
        throw GeneralError(QStringLiteral("%1:%2: XML no válido: %3").arg(fileName).arg(line).arg(xmlProblem(message)));
    Reader reader(fileName, m_fragments);
    return reader.document(dom.documentElement());
}

ReportDocument DocumentLoader::loadFile(const QString& path) const {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw GeneralError(QStringLiteral("No se pudo leer el informe '%1': %2").arg(path, f.errorString()));
    return load(f.readAll(), path);
}

const ReportPage* ReportDocument::findPage(const QString& name) const {
    for (const ReportPage& p : pages)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

} // namespace report
