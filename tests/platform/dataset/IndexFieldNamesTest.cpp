// IndexFieldNames: the ordered view and how it follows posts.
#include "DataSetTestSupport.h"

using dstest::appendRow;
using dstest::column;
using testsupport::errorOf;

namespace {

// Classes as the class list holds them: code and name, appended in the order given.
std::unique_ptr<TClientDataSet> makeClasses(const QList<QVariantList>& rows, const QString& index) {
    auto ds = std::make_unique<TClientDataSet>(QStringLiteral("CdsNmTnomi"));
    ds->AddField(QStringLiteral("COD_TNOM"), TFieldType::ftSmallint);
    ds->AddField(QStringLiteral("NOM_TNOM"), TFieldType::ftString, 40);
    ds->SetIndexFieldNames(index);
    ds->CreateDataSet();
    for (const QVariantList& r : rows)
        appendRow(*ds, r);
    return ds;
}

struct OrderCase {
    const char* name;
    const char* index;
    QList<QVariantList> rows;
    QVariantList names; // NOM_TNOM in the expected order
};

QVariant s(const char* text) { return QString::fromLatin1(text); }

TEST(IndexFieldNames, OrdersAscendingStableNullsFirst) {
    const OrderCase cases[] = {
        {"NoIndexKeepsInsertionOrder", "", {{3, s("c")}, {1, s("a")}, {2, s("b")}}, {s("c"), s("a"), s("b")}},
        {"ByCode", "COD_TNOM", {{3, s("c")}, {1, s("a")}, {2, s("b")}}, {s("a"), s("b"), s("c")}},
        {"NegativeCodes", "COD_TNOM", {{1, s("a")}, {-5, s("m")}, {0, s("z")}}, {s("m"), s("z"), s("a")}},
        {"TiesKeepInsertionOrder",
         "COD_TNOM",
         {{2, s("x")}, {1, s("y")}, {2, s("a")}, {1, s("b")}},
         {s("y"), s("b"), s("x"), s("a")}},
        {"NullsFirst",
         "COD_TNOM",
         {{2, s("dos")}, {QVariant(), s("nulo")}, {1, s("uno")}},
         {s("nulo"), s("uno"), s("dos")}},
        {"SecondKeyBreaksTies",
         "COD_TNOM;NOM_TNOM",
         {{2, s("b")}, {1, s("z")}, {2, s("a")}},
         {s("z"), s("a"), s("b")}},
        {"TextByCodePoint", "NOM_TNOM", {{1, s("b")}, {2, s("B")}, {3, s("a")}}, {s("B"), s("a"), s("b")}},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto ds = makeClasses(c.rows, QString::fromLatin1(c.index));
        EXPECT_EQ(column(*ds, QStringLiteral("NOM_TNOM")), c.names) << c.name;
    }
}

TEST(IndexFieldNames, PostResortsAndTheCursorFollowsThePostedRecord) {
    auto ds = makeClasses({{10, s("diez")}, {20, s("veinte")}, {30, s("treinta")}}, QStringLiteral("COD_TNOM"));
    ds->Append();
    ds->Field(0).SetAsInteger(15);
    ds->Field(1).SetAsString(QStringLiteral("quince"));
    EXPECT_EQ(ds->RecNo(), 4) << "a new record shows at the end until posted";
    ds->Post();
    EXPECT_EQ(ds->RecNo(), 2);
    EXPECT_EQ(ds->Field(1).AsString(), QStringLiteral("quince"));

    ds->First();
    ds->Edit();
    ds->Field(0).SetAsInteger(40);
    ds->Post();
    EXPECT_EQ(ds->RecNo(), 4);
    EXPECT_EQ(ds->Field(1).AsString(), QStringLiteral("diez"));
    EXPECT_EQ(column(*ds, QStringLiteral("COD_TNOM")), (QVariantList{15, 20, 30, 40}));
}

TEST(IndexFieldNames, ClearingReturnsToInsertionOrderAndKeepsTheCursor) {
    auto ds = makeClasses({{3, s("c")}, {1, s("a")}, {2, s("b")}}, QString());
    ds->SetIndexFieldNames(QStringLiteral("COD_TNOM"));
    ds->Locate(QStringLiteral("COD_TNOM"), {3});
    EXPECT_EQ(ds->RecNo(), 3);
    ds->SetIndexFieldNames(QString());
    EXPECT_EQ(column(*ds, QStringLiteral("NOM_TNOM")), (QVariantList{s("c"), s("a"), s("b")}));
    EXPECT_EQ(ds->RecNo(), 1);
    EXPECT_EQ(ds->Field(0).AsInteger(), 3);
}

TEST(IndexFieldNames, RefusesUnknownAndCalculatedFields) {
    TClientDataSet ds(QStringLiteral("CdsGH"));
    ds.AddField(QStringLiteral("CONTEO"), TFieldType::ftInteger);
    ds.AddField(QStringLiteral("DtfPorCent"), TFieldType::ftFloat, 0, TFieldKind::fkCalculated);
    ds.CreateDataSet();
    EXPECT_EQ(errorOf([&] { ds.SetIndexFieldNames(QStringLiteral("CONTEO;NADA")); }),
              QStringLiteral("Campo 'NADA' no encontrado en CdsGH."));
    EXPECT_EQ(errorOf([&] { ds.SetIndexFieldNames(QStringLiteral("DtfPorCent")); }),
              QStringLiteral("El campo calculado 'DtfPorCent' no puede ordenar el conjunto de datos CdsGH."));
    EXPECT_EQ(ds.IndexFieldNames(), QString()) << "a refused index leaves the previous one";
}

} // namespace
