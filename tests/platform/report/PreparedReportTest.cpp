// The prepared report's text views, search, and its file form: a report read back equals the one written,
// and a damaged or foreign file is refused with the user's message, never half-read.
#include "OutputFixture.h"

#include <QDataStream>
#include <QDir>
#include <QPainter>
#include <tuple>

using namespace report;
using testsupport::errorOf;

namespace {

const QString kInvalid = QStringLiteral("El archivo no es un informe preparado válido.");

// Field by field, so that a field the file leaves out shows by name.
void expectSame(const TextItem& a, const TextItem& b) {
    ASSERT_EQ(a.lines.size(), b.lines.size());
    for (int i = 0; i < a.lines.size(); ++i) {
        const TextLine &la = a.lines[i], &lb = b.lines[i];
        EXPECT_EQ(std::tie(la.widthMm, la.endsParagraph), std::tie(lb.widthMm, lb.endsParagraph));
        ASSERT_EQ(la.runs.size(), lb.runs.size());
        for (int r = 0; r < la.runs.size(); ++r) {
            const TextRun &ra = la.runs[r], &rb = lb.runs[r];
            EXPECT_EQ(std::tie(ra.text, ra.bold, ra.italic, ra.underline),
                      std::tie(rb.text, rb.bold, rb.italic, rb.underline));
        }
    }
    EXPECT_TRUE(a.font == b.font) << a.font.family.toStdString();
    EXPECT_TRUE(a.frame == b.frame);
    EXPECT_EQ(a.rect, b.rect);
    EXPECT_EQ(std::tie(a.hAlign, a.vAlign), std::tie(b.hAlign, b.vAlign));
    EXPECT_EQ(std::tie(a.lineHeightMm, a.ascentMm, a.paddingMm, a.paddingTopMm),
              std::tie(b.lineHeightMm, b.ascentMm, b.paddingMm, b.paddingTopMm));
    EXPECT_EQ(a.fill, b.fill);
    EXPECT_EQ(std::tie(a.value.kind, a.value.number, a.value.excelFormat, a.name),
              std::tie(b.value.kind, b.value.number, b.value.excelFormat, b.name));
}

void expectSame(const LineItem& a, const LineItem& b) {
    EXPECT_EQ(std::tie(a.from, a.to, a.widthPt, a.color), std::tie(b.from, b.to, b.widthPt, b.color));
}

void expectSame(const RectItem& a, const RectItem& b) {
    EXPECT_EQ(std::tie(a.rect, a.fill), std::tie(b.rect, b.fill));
    EXPECT_TRUE(a.frame == b.frame);
}

void expectSame(const PictureItem& a, const PictureItem& b) {
    EXPECT_EQ(std::tie(a.rect, a.center, a.keepAspect), std::tie(b.rect, b.center, b.keepAspect));
    EXPECT_EQ(a.image.convertToFormat(QImage::Format_ARGB32), b.image.convertToFormat(QImage::Format_ARGB32));
}

void expectSame(const DrawingItem& a, const DrawingItem& b) {
    EXPECT_EQ(std::tie(a.rect, a.sourceSize), std::tie(b.rect, b.sourceSize));
    EXPECT_EQ(QByteArray(a.picture.data(), a.picture.size()), QByteArray(b.picture.data(), b.picture.size()));
}

void expectSameReport(const PreparedReport& a, const PreparedReport& b) {
    EXPECT_EQ(std::tie(a.title, a.author, a.subject), std::tie(b.title, b.author, b.subject));
    ASSERT_EQ(a.pages.size(), b.pages.size());
    for (size_t p = 0; p < a.pages.size(); ++p) {
        const PreparedPage &pa = a.pages[p], &pb = b.pages[p];
        EXPECT_EQ(std::tie(pa.paperMm, pa.landscape, pa.marginsMm),
                  std::tie(pb.paperMm, pb.landscape, pb.marginsMm));
        ASSERT_EQ(pa.items.size(), pb.items.size()) << "page " << p;
        for (size_t i = 0; i < pa.items.size(); ++i) {
            ASSERT_EQ(pa.items[i].index(), pb.items[i].index()) << "page " << p << " item " << i;
            std::visit([&](const auto& x) { expectSame(x, std::get<std::decay_t<decltype(x)>>(pb.items[i])); },
                       pa.items[i]);
        }
    }
    ASSERT_EQ(a.outline.size(), b.outline.size());
    for (size_t i = 0; i < a.outline.size(); ++i) {
        const OutlineEntry &oa = a.outline[i], &ob = b.outline[i];
        EXPECT_EQ(std::tie(oa.text, oa.page, oa.yMm, oa.level), std::tie(ob.text, ob.page, ob.yMm, ob.level));
    }
}

// A report with every item kind and every non-default setting, so that a field left out of the file shows.
PreparedReport everyKind() {
    PreparedReport r = outtest::sampleReport();
    r.author = QStringLiteral("Autora Ñ");
    r.subject = QStringLiteral("Asunto");
    TextItem t = outtest::text(QRectF(1.5, 2.25, 30, 12), QStringLiteral("uno\ndos"), HAlign::Justify, true, 7.5);
    t.vAlign = VAlign::Bottom;
    t.font.italic = t.font.underline = true;
    t.font.family = QStringLiteral("Courier New");
    t.font.color = QColor(10, 20, 30);
    t.paddingMm = 0.75;
    t.paddingTopMm = 0.25;
    t.lines[0].endsParagraph = false;
    t.lines[1].runs.push_back(TextRun{QStringLiteral(" tres"), true, true, true});
    t.frame = FrameSpec{true, false, true, false, 2.5, QColor(1, 2, 3)};
    t.fill = QColor(200, 100, 50, 128);
    t.value = CellValue{CellValue::Kind::Date, 45306.5, QStringLiteral("dd/mm/yyyy hh:mm")};
    t.name = QStringLiteral("MemFecha");
    r.pages[1].items.push_back(t);
    r.pages[1].items.push_back(RectItem{QRectF(5, 6, 7, 8), QColor(), FrameSpec{false, true, false, true, 0.5, Qt::red}});
    r.pages[1].items.push_back(PictureItem{QRectF(1, 1, 5, 5), QImage(), false, false});
    r.pages[2].marginsMm = QMarginsF(5, 6, 7, 8);
    return r;
}

} // namespace

TEST(PreparedReportText, FindPagesIgnoresCaseAndAccentsAreKept) {
    const PreparedReport r = outtest::sampleReport();
    EXPECT_EQ(r.findPages(QStringLiteral("NÓMINA")), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(r.findPages(QStringLiteral("ñandú")), (std::vector<int>{0}));
    EXPECT_EQ(r.findPages(QStringLiteral("año 2024")), (std::vector<int>{0}));
    EXPECT_EQ(r.findPages(QStringLiteral("continuación")), (std::vector<int>{1}));
    // Accents are letters of their own: "nomina" is not "nómina".
    EXPECT_TRUE(r.findPages(QStringLiteral("nomina")).empty());
    EXPECT_TRUE(r.findPages(QStringLiteral("no está")).empty());
    EXPECT_TRUE(r.findPages(QString()).empty());
}

TEST(PreparedReportText, FindPagesMatchesAPhraseBrokenByWrapping) {
    const PreparedReport r = outtest::sampleReport();
    const TextItem& paragraph = outtest::findText(r.pages[1], QStringLiteral("Este"));
    ASSERT_GE(paragraph.lines.size(), 2);
    ASSERT_FALSE(paragraph.lines[0].endsParagraph);
    const QString lastWord = paragraph.lines[0].plainText().trimmed().section(QLatin1Char(' '), -1);
    const QString firstWord = paragraph.lines[1].plainText().trimmed().section(QLatin1Char(' '), 0, 0);
    EXPECT_EQ(r.findPages(lastWord + QLatin1Char(' ') + firstWord), (std::vector<int>{1}));
}

TEST(PreparedReportFile, RoundTripKeepsEveryItemKind) {
    const PreparedReport original = everyKind();
    const QString path = testsupport::tempPath(QStringLiteral("guardado.vnrp"));
    original.save(path);
    EXPECT_TRUE(outtest::readFile(path).startsWith("VNRP"));
    expectSameReport(original, PreparedReport::load(path));

    PreparedReport empty;
    empty.title = QStringLiteral("Vacío");
    const PreparedReport back = PreparedReport::deserialize(empty.serialize());
    EXPECT_TRUE(back.isEmpty());
    EXPECT_EQ(back.title, QStringLiteral("Vacío"));
}

TEST(PreparedReportFile, DamagedOrForeignDataIsRefused) {
    const QByteArray good = outtest::sampleReport().serialize();
    struct Case {
        const char* name;
        QByteArray data;
    };
    QByteArray flipped = good;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x5A);
    QByteArray badMagic = good;
    badMagic[0] = 'X';

    // A well-formed envelope around a body that is not a report.
    QByteArray garbageBody;
    {
        QDataStream s(&garbageBody, QIODevice::WriteOnly);
        s.setVersion(QDataStream::Qt_6_4);
        s.writeRawData("VNRP", 4);
        const QByteArray compressed = qCompress(QByteArray("esto no es un informe"));
        s << quint16(1) << compressed << quint16(qChecksum(compressed));
    }

    const Case cases[] = {
        {"empty", QByteArray()},
        {"pdf file", QByteArray("%PDF-1.4\n1 0 obj\n<< >>\nendobj\n")},
        {"magic only", QByteArray("VNRP")},
        {"wrong magic", badMagic},
        {"flipped byte", flipped},
        {"cut in the middle", good.left(good.size() / 2)},
        {"one byte short", good.left(good.size() - 1)},
        {"trailing bytes", good + "x"},
        {"valid envelope, foreign body", garbageBody},
    };
    for (const Case& c : cases)
        EXPECT_EQ(errorOf([&] { PreparedReport::deserialize(c.data); }), kInvalid) << c.name;
}

TEST(PreparedReportFile, ANewerFormatIsNamedAsSuch) {
    QByteArray newer;
    QDataStream s(&newer, QIODevice::WriteOnly);
    s.writeRawData("VNRP", 4);
    s << quint16(99);
    EXPECT_EQ(errorOf([&] { PreparedReport::deserialize(newer); }),
              QStringLiteral("El informe preparado fue guardado con una versión más reciente del programa y no se "
                             "puede abrir."));
}

TEST(PreparedReportFile, FileErrorsNameTheFile) {
    const QString missing = testsupport::tempPath(QStringLiteral("no-existe.vnrp"));
    EXPECT_TRUE(errorOf([&] { PreparedReport::load(missing); })
                    .startsWith(QStringLiteral("No se pudo leer el archivo '%1': ").arg(missing)));
    const QString inMissingDir = testsupport::tempPath(QStringLiteral("sin-carpeta/informe.vnrp"));
    EXPECT_TRUE(errorOf([&] { outtest::sampleReport().save(inMissingDir); })
                    .startsWith(QStringLiteral("No se pudo escribir el archivo '%1': ").arg(inMissingDir)));
    const QString foreign = testsupport::tempPath(QStringLiteral("ajeno.vnrp"));
    outtest::writeFile(foreign, "PK\x03\x04 no es un informe");
    EXPECT_EQ(errorOf([&] { PreparedReport::load(foreign); }), kInvalid);
}
