#include "DocumentLoader.h"
#include "FormatSettings.h"
#include "GeneralError.h"
#include "MemoryDataSet.h"
#include "ReportEngine.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>
#include <map>

using namespace report;

namespace {

const char* kLayout = R"XML(<?xml version="1.0" encoding="UTF-8"?>
<report name="rptPrueba" title="Informe de prueba">
  <variable name="gStCodUsua"/>
  <counter name="gSmID" incrementOn="DetalleReq" reset="page" page="Requisiciones"/>
  <page name="Valores" paper="letter" orientation="portrait" margins="10">
    <include fragment="Encabezado" titulo="Valores por centro"/>
    <dataBlock dataset="Ds">
      <group condition="&lt;Ds.&quot;CCOS&quot;&gt;" keepTogether="true">
        <groupHeader name="GH" height="6" outline="Ds.&quot;NOMCC&quot;" reprintOnNewPage="true">
          <memo name="TitGrupo" left="0" top="0" width="196" height="6" bold="true" frame="all">CENTRO: [Ds."CCOS"] - [Ds."NOMCC"]</memo>
          <child height="5">
            <memo left="0" top="0" width="60" height="5" bold="true">Descripción</memo>
            <memo left="60" top="0" width="40" height="5" bold="true" align="center">Valor</memo>
          </child>
        </groupHeader>
        <groupFooter height="6">
          <memo name="TotGrupo" left="0" top="0" width="60" height="6">Total [Ds."NOMCC"]</memo>
          <memo name="SumGrupo" left="60" top="0" width="40" height="6" align="right" format="%2.2m">[SUM(&lt;Ds."VAL"&gt;)]</memo>
        </groupFooter>
      </group>
      <masterData name="Detalle" height="5" stretch="true" equalCellHeights="true">
        <memo name="Desc" left="0" top="0" width="60" height="5" stretch="true" frame="all">[Ds."DESC"]</memo>
        <memo name="Val" left="60" top="0" width="40" height="5" align="right" frame="all" format="%2.2m">[Ds."VAL"]</memo>
        <memo name="Linea" left="100" top="0" width="10" height="5">[LINE#]</memo>
      </masterData>
    </dataBlock>
    <summary height="6">
      <memo name="Total" left="60" top="0" width="40" height="6" align="right" format="%2.2m">[SUM(&lt;Ds."VAL"&gt;)]</memo>
      <memo name="Cuenta" left="100" top="0" width="30" height="6">[COUNT(Detalle)]</memo>
    </summary>
    <pageFooter height="5">
      <memo name="Pie" left="0" top="0" width="80" height="5" size="8">Usuario: [gStCodUsua]</memo>
    </pageFooter>
  </page>
  <page name="Requisiciones" paper="215.9x139.7" orientation="landscape">
    <include fragment="Encabezado" titulo="Requisiciones"/>
    <dataBlock dataset="Req">
      <header height="5" reprintOnNewPage="true">
        <memo name="TitReq" left="0" top="0" width="40" height="5">Requisición</memo>
      </header>
      <masterData name="DetalleReq" height="5" stretch="true" equalCellHeights="true">
        <memo name="Id" left="0" top="0" width="10" height="5" frame="all">[gSmID]</memo>
        <memo name="Req" left="10" top="0" width="30" height="5" frame="all">[Req."COD"]</memo>
        <subreport name="Sub" left="40" top="0" width="80" height="5" page="Requisitos"/>
        <memo name="NoAplica" left="40" top="0" width="80" height="5" visibleIf="&lt;Req.&quot;NREQ&quot;&gt; = 0">NO APLICA</memo>
      </masterData>
    </dataBlock>
  </page>
  <page name="Requisitos" subreport="true">
    <dataBlock dataset="Det">
      <masterData height="4">
        <memo name="Requisito" left="0" top="0" width="80" height="4">[Det."NOM"]</memo>
      </masterData>
    </dataBlock>
  </page>
</report>)XML";

const char* kHeaderFragment = R"XML(<fragment>
  <pageHeader height="20">
    <memo name="Empresa" left="0" top="0" width="120" height="6" bold="true">[Empresa."NOM"]</memo>
    <memo name="Titulo" left="0" top="7" width="120" height="5">{titulo}</memo>
    <memo name="Pagina" left="150" top="0" width="46" height="5">Página: [PAGE#] de [TOTALPAGES#]</memo>
    <picture name="Logo" left="125" top="0" width="20" height="10" dataset="Empresa" field="LOGO"/>
  </pageHeader>
</fragment>)XML";

DocumentLoader loader() {
    DocumentLoader l;
    l.setFragmentResolver([](const QString& name) {
        return name == QLatin1String("Encabezado") ? QByteArray(kHeaderFragment) : QByteArray();
    });
    return l;
}

struct Found {
    int page;
    const TextItem* item;
};

std::vector<Found> itemsNamed(const PreparedReport& r, const QString& name) {
    std::vector<Found> out;
    for (size_t p = 0; p < r.pages.size(); ++p)
        for (const PageItem& item : r.pages[p].items)
            if (const auto* t = std::get_if<TextItem>(&item); t && t->name == name)
                out.push_back(Found{static_cast<int>(p), t});
    return out;
}

class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override {
        for (int cc = 1; cc <= 10; ++cc)
            for (int i = 0; i < 30; ++i) {
                const int n = (cc - 1) * 30 + i;
                QString desc = QStringLiteral("Línea %1").arg(n);
                if (n % 7 == 0)
                    desc += QStringLiteral(" con una descripción bastante más larga que el ancho de su columna, "
                                           "para que el texto ocupe varias líneas");
                ds.add({cc, QStringLiteral("CENTRO Ñ%1").arg(cc), desc, n * 1.5});
                expectedGroupSum[cc] += n * 1.5;
                total += n * 1.5;
            }
        QImage logo(40, 20, QImage::Format_RGB32);
        logo.fill(qRgb(200, 30, 30));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        logo.save(&buffer, "PNG");
        empresa.add({QStringLiteral("EMPRESA DE PRUEBA S.A.S."), png});
        empresa.first(); // open and on its row, as the data module leaves it
        req.add({QStringLiteral("R-1"), 2});
        req.add({QStringLiteral("R-2"), 0});
        req.add({QStringLiteral("R-3"), 1});
        req.afterScroll = [this](int row) {
            det.clear();
            const int n = req.value(QStringLiteral("NREQ")).toInt();
            for (int i = 0; i < n; ++i)
                det.add({QStringLiteral("Requisito %1.%2").arg(row + 1).arg(i + 1)});
        };
        doc = loader().load(kLayout, QStringLiteral("prueba.xml"));
        prepared = prepare(0);
    }

    // spillThreshold: pages from which finished pages go to a temporary file (0: never).
    PreparedReport prepare(int spillThreshold) {
        ReportEngine engine(doc);
        engine.setSpillThreshold(spillThreshold);
        for (ReportDataSet* d : {static_cast<ReportDataSet*>(&ds), static_cast<ReportDataSet*>(&empresa),
                                 static_cast<ReportDataSet*>(&req), static_cast<ReportDataSet*>(&det)})
            engine.bindDataSet(d);
        engine.setVariableHandler([](const QString& name, QVariant& v) {
            if (name != QLatin1String("gStCodUsua"))
                return false;
            v = QStringLiteral("ADMIN");
            return true;
        });
        engine.setNow(QDateTime(QDate(2026, 12, 6), QTime(10, 30)));
        return engine.prepare();
    }

    MemoryDataSet ds{QStringLiteral("Ds"), {QStringLiteral("CCOS"), QStringLiteral("NOMCC"), QStringLiteral("DESC"), QStringLiteral("VAL")}};
    MemoryDataSet empresa{QStringLiteral("Empresa"), {QStringLiteral("NOM"), QStringLiteral("LOGO")}};
    MemoryDataSet req{QStringLiteral("Req"), {QStringLiteral("COD"), QStringLiteral("NREQ")}};
    MemoryDataSet det{QStringLiteral("Det"), {QStringLiteral("NOM")}};
    std::map<int, double> expectedGroupSum;
    double total = 0;
    ReportDocument doc;
    PreparedReport prepared;
};

TEST_F(EngineFixture, EveryPageHasItsHeaderFooterAndPageCount) {
    const int pages = static_cast<int>(prepared.pages.size());
    ASSERT_GE(pages, 11); // ten groups of thirty rows, one group per letter page, plus the requisitions
    const auto headers = itemsNamed(prepared, QStringLiteral("Pagina"));
    ASSERT_EQ(static_cast<int>(headers.size()), pages);
    for (int p = 0; p < pages; ++p)
        EXPECT_EQ(headers[static_cast<size_t>(p)].item->plainText(),
                  QStringLiteral("Página: %1 de %2").arg(p + 1).arg(pages));
    const auto footers = itemsNamed(prepared, QStringLiteral("Pie"));
    // The requisitions section has no page footer.
    for (const Found& f : footers) {
        EXPECT_EQ(f.item->plainText(), QStringLiteral("Usuario: ADMIN"));
        EXPECT_NEAR(f.item->rect.bottom(), 279.4 - 10, 1e-6);
    }
    EXPECT_EQ(itemsNamed(prepared, QStringLiteral("Titulo")).front().item->plainText(), QStringLiteral("Valores por centro"));
    EXPECT_EQ(itemsNamed(prepared, QStringLiteral("Titulo")).back().item->plainText(), QStringLiteral("Requisiciones"));
    // A custom paper size is written as the oriented page.
    EXPECT_EQ(prepared.pages.back().paperMm, QSizeF(215.9, 139.7));
}

// A long report keeps its finished pages in a temporary file: read back, they are the same pages, page
// counts included, and the outline points at the same pages. The logo of every page header is decoded
// once and shared by the pages, in memory and in the file.
TEST_F(EngineFixture, SpilledPagesReadBackAsPrepared) {
    const auto logoOf = [](const PreparedPage& page) {
        for (const PageItem& item : page.items)
            if (const auto* p = std::get_if<PictureItem>(&item))
                return p->image;
        return QImage();
    };
    ASSERT_FALSE(logoOf(prepared.pages.front()).isNull());
    EXPECT_EQ(logoOf(prepared.pages.front()).cacheKey(), logoOf(prepared.pages.back()).cacheKey());
    const PreparedReport spilled = prepare(3);
    EXPECT_EQ(logoOf(spilled.page(1)).pixel(0, 0), qRgb(200, 30, 30));
    EXPECT_EQ(logoOf(spilled.page(1)).cacheKey(), logoOf(spilled.page(spilled.pageCount() - 1)).cacheKey());
    ASSERT_TRUE(spilled.spill);
    EXPECT_TRUE(spilled.pages.empty());
    EXPECT_EQ(spilled.pageCount(), int(prepared.pages.size()));
    EXPECT_EQ(spilled.serialize(), prepared.serialize());
    EXPECT_EQ(spilled.pageFrame(spilled.pageCount() - 1).paperMm, QSizeF(215.9, 139.7));
    EXPECT_EQ(spilled.findPages(QStringLiteral("Requisito 3.1")), prepared.findPages(QStringLiteral("Requisito 3.1")));
}

TEST_F(EngineFixture, GroupsBreakSumAndStayTogether) {
    const auto titles = itemsNamed(prepared, QStringLiteral("TitGrupo"));
    const auto sums = itemsNamed(prepared, QStringLiteral("SumGrupo"));
    const auto names = itemsNamed(prepared, QStringLiteral("TotGrupo"));
    ASSERT_EQ(sums.size(), 10u);
    for (int cc = 1; cc <= 10; ++cc) {
        EXPECT_EQ(sums[static_cast<size_t>(cc - 1)].item->plainText(),
                  FormatSettings::colombian().formatMoney(expectedGroupSum[cc]));
        // The footer reads the closing group's own record, not the next group's.
        EXPECT_EQ(names[static_cast<size_t>(cc - 1)].item->plainText(), QStringLiteral("Total CENTRO Ñ%1").arg(cc));
        EXPECT_EQ(sums[static_cast<size_t>(cc - 1)].item->value.kind, CellValue::Kind::Number);
    }
    // Kept together: the header, the thirty rows and the footer of a group share one page.
    const auto rows = itemsNamed(prepared, QStringLiteral("Val"));
    ASSERT_EQ(rows.size(), 300u);
    int firstTitle = 0;
    for (int cc = 0; cc < 10; ++cc) {
        const int page = sums[static_cast<size_t>(cc)].page;
        for (int i = 0; i < 30; ++i)
            EXPECT_EQ(rows[static_cast<size_t>(cc * 30 + i)].page, page) << "grupo " << cc + 1 << " fila " << i;
        while (titles[static_cast<size_t>(firstTitle)].page < page)
            ++firstTitle;
        EXPECT_EQ(titles[static_cast<size_t>(firstTitle)].item->plainText(),
                  QStringLiteral("CENTRO: %1 - CENTRO Ñ%1").arg(cc + 1));
    }
    const auto summary = itemsNamed(prepared, QStringLiteral("Total"));
    ASSERT_EQ(summary.size(), 1u);
    EXPECT_EQ(summary.front().item->plainText(), FormatSettings::colombian().formatMoney(total));
    EXPECT_EQ(itemsNamed(prepared, QStringLiteral("Cuenta")).front().item->plainText(), QStringLiteral("300"));
    ASSERT_EQ(prepared.outline.size(), 10u);
    for (int cc = 0; cc < 10; ++cc) {
        EXPECT_EQ(prepared.outline[static_cast<size_t>(cc)].text, QStringLiteral("CENTRO Ñ%1").arg(cc + 1));
        EXPECT_EQ(prepared.outline[static_cast<size_t>(cc)].page, sums[static_cast<size_t>(cc)].page);
    }
}

TEST_F(EngineFixture, WrappedTextStretchesTheRowAndCellsKeepOneHeight) {
    const auto descs = itemsNamed(prepared, QStringLiteral("Desc"));
    const auto vals = itemsNamed(prepared, QStringLiteral("Val"));
    const auto lines = itemsNamed(prepared, QStringLiteral("Linea"));
    ASSERT_EQ(descs.size(), 300u);
    for (size_t i = 0; i < descs.size(); ++i) {
        const TextItem& d = *descs[i].item;
        const TextItem& v = *vals[i].item;
        EXPECT_DOUBLE_EQ(d.rect.top(), v.rect.top());
        EXPECT_DOUBLE_EQ(d.rect.height(), v.rect.height()) << i;
        if (i % 7 == 0) {
            EXPECT_GE(d.lines.size(), 3) << i;
            EXPECT_GT(d.rect.height(), 5.0);
        } else {
            EXPECT_EQ(d.lines.size(), 1) << i;
            EXPECT_DOUBLE_EQ(d.rect.height(), 5.0);
        }
        for (const TextLine& l : d.lines)
            EXPECT_LE(l.widthMm, d.rect.width() - 2 * d.paddingMm + 1e-6);
        // Rows follow each other without gaps or overlaps within a group.
        if (i % 30 != 29 && descs[i + 1].page == descs[i].page) {
            EXPECT_NEAR(descs[i + 1].item->rect.top(), d.rect.bottom(), 1e-6) << i;
        }
        // LINE# counts the records of the data block; amounts reach a spreadsheet as numbers.
        EXPECT_EQ(lines[i].item->plainText(), QString::number(i + 1));
        EXPECT_EQ(v.value.kind, CellValue::Kind::Number) << i;
    }
    // Nothing is drawn below the page footer's top.
    for (const Found& f : descs)
        EXPECT_LE(f.item->rect.bottom(), 279.4 - 10 - 5 + 1e-6);
}

TEST_F(EngineFixture, SubreportFollowsTheMasterRowAndCountersRestartPerPage) {
    const auto reqs = itemsNamed(prepared, QStringLiteral("Req"));
    const auto ids = itemsNamed(prepared, QStringLiteral("Id"));
    const auto lines = itemsNamed(prepared, QStringLiteral("Requisito"));
    const auto noAplica = itemsNamed(prepared, QStringLiteral("NoAplica"));
    ASSERT_EQ(reqs.size(), 3u);
    EXPECT_EQ(ids[0].item->plainText(), QStringLiteral("1"));
    EXPECT_EQ(ids[2].item->plainText(), QStringLiteral("3"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].item->plainText(), QStringLiteral("Requisito 1.1"));
    EXPECT_EQ(lines[1].item->plainText(), QStringLiteral("Requisito 1.2"));
    EXPECT_EQ(lines[2].item->plainText(), QStringLiteral("Requisito 3.1"));
    // The subreport lines sit inside their master row, which grows to hold them.
    EXPECT_NEAR(lines[1].item->rect.top(), reqs[0].item->rect.top() + 4, 1e-6);
    EXPECT_NEAR(reqs[0].item->rect.height(), 8, 1e-6);
    ASSERT_EQ(noAplica.size(), 1u);
    EXPECT_NEAR(noAplica[0].item->rect.top(), reqs[1].item->rect.top(), 1e-6);
}

// Amounts that cannot be printed: one wider than its cell fills it with "#" (and keeps its value for the
// spreadsheet), one that is not finite (a sum that overflows) refuses the report with a message.
TEST(EngineAmounts, TooWideFillsTheCellAndNonFiniteIsRefused) {
    const char* layout = R"XML(<report name="rptMontos">
  <page name="P" paper="letter" margins="10">
    <dataBlock dataset="M">
      <masterData name="Fila" height="5">
        <memo name="Monto" left="0" top="0" width="30" height="5" align="right" format="%2.2m">[M."V"]</memo>
      </masterData>
    </dataBlock>
    <summary height="5">
      <memo name="Total" left="0" top="0" width="30" height="5" align="right" format="%2.2m">[SUM(&lt;M."V"&gt;)]</memo>
    </summary>
  </page>
</report>)XML";
    const ReportDocument doc = loader().load(layout, QStringLiteral("montos.xml"));
    MemoryDataSet m{QStringLiteral("M"), {QStringLiteral("V")}};
    const auto prepare = [&] {
        ReportEngine engine(doc);
        engine.bindDataSet(&m);
        return engine.prepare();
    };
    m.add({1234.5});
    m.add({-1e308});
    const PreparedReport r = prepare();
    const auto amounts = itemsNamed(r, QStringLiteral("Monto"));
    ASSERT_EQ(amounts.size(), 2u);
    EXPECT_EQ(amounts[0].item->plainText(), FormatSettings::global().formatMoney(1234.5));
    const QString wide = amounts[1].item->plainText();
    EXPECT_GE(wide.size(), 3);
    EXPECT_EQ(wide, QString(wide.size(), QLatin1Char('#')));
    EXPECT_LE(amounts[1].item->lines.front().widthMm, 30.0);
    EXPECT_EQ(amounts[1].item->value.number, -1e308); // the spreadsheet still gets the figure

    m.add({-1e308}); // the sum now overflows to minus infinity
    EXPECT_EQ(testsupport::errorOf([&] { prepare(); }),
              QStringLiteral("El informe rptMontos obtuvo una cantidad que no es un número finito en Total (una suma "
                             "que se desborda o una división por cero): revise las cantidades de los datos."));
}

TEST(EngineErrors, AnUnboundDataSetNamesTheReport) {
    const ReportDocument doc = loader().load(kLayout, QStringLiteral("prueba.xml"));
    ReportEngine engine(doc);
    const QString message = testsupport::errorOf([&] { engine.prepare(); });
    EXPECT_TRUE(message.contains(QStringLiteral("rptPrueba"))) << message.toStdString();
}

// Each row: a document and the message that names the file, the line and the problem.
TEST(LoaderErrors, NameFileLineAndProblem) {
    const std::pair<const char*, const char*> cases[] = {
        {"<report><page>", "malo.xml:1: XML no válido: el archivo termina antes de cerrar todas las etiquetas"},
        {"<report name='r'>\n<page>\n</band></report>",
         "malo.xml:3: XML no válido: la etiqueta que cierra no es la que estaba abierta"},
        {"<report name='r' name='s'/>", "malo.xml:1: XML no válido: el atributo 'name' está repetido"},
        {"<report name='r'>\n<page>\n<band height='5'>\n<circle/>\n</band></page></report>",
         "malo.xml:4: objeto desconocido: <circle>"},
        {"<report name='r'>\n<page>\n<band height='5'>\n<memo width='5' height='5'>[1 + "
         "]</memo></band></page></report>",
         "malo.xml:4: Error en la expresión '1 + ': expresión incompleta (posición 5)."},
        {"<report name='r'>\n<page>\n<band height='cinco'/></page></report>",
         "malo.xml:3: el atributo height no es un número: 'cinco'"},
        {"<report name='r'>\n<page>\n<dataBlock dataset='X'/></page></report>",
         "malo.xml:3: el bloque de datos no tiene banda <masterData>"},
        {"<report name='r'>\n<page>\n<include fragment='Nada'/></page></report>",
         "malo.xml:3: fragmento desconocido: 'Nada'"},
    };
    for (const auto& [xml, expected] : cases)
        EXPECT_EQ(testsupport::errorOf([&] { loader().load(xml, QStringLiteral("malo.xml")); }),
                  QString::fromUtf8(expected));
}

} // namespace
