// Server queries: statement text and parameters, the call to the provider, persistent and dynamic
// fields.
#include "DataSetTestSupport.h"

#include "SClientDataSet.h"
#include "TRemoteServer.h"


using dstest::column;
using testsupport::errorOf;

namespace {

// A provider that answers with a prepared result and remembers what it was asked.
class FakeServer : public TRemoteServer {
public:
    TResultSet Execute(const QString& providerName, const QString& commandText, const TParams& params) override {
        ++calls;
        provider = providerName;
        command = commandText;
        paramValues.clear();
        for (int i = 0; i < params.Count(); ++i)
            paramValues.push_back(QStringLiteral("%1:%2=%3")
                                      .arg(params[i].Name(), QString::fromLatin1(fieldTypeName(params[i].DataType())),
                                           params[i].Value().toString()));
        if (!failure.isEmpty())
            throw GeneralError(failure);
        return result;
    }
    TResultSet result;
    QString failure;
    int calls = 0;
    QString provider;
    QString command;
    QStringList paramValues;
};

struct NamesCase {
    const char* name;
    const char* statement;
    QStringList expected;
};

TEST(ServerQueryParams, NamesInFirstOccurrenceOrder) {
    const NamesCase cases[] = {
        {"RepeatedOnce",
         "A.COD_EMPR = :P_COD_EMPR AND A.FEC_ACUM >= :P_FEC_INIC UNION (B.COD_EMPR = :p_cod_empr)",
         {"P_COD_EMPR", "P_FEC_INIC"}},
        {"LowerCaseKept", "where cod_empr = :cod_empr and cod_tnom = :cod_tnom", {"cod_empr", "cod_tnom"}},
        {"NoneInLiterals", "WHERE TIP_PARA = 'CN:X' AND H = '10:30' AND :A = 1", {"A"}},
        {"DoubledQuoteInLiteral", "WHERE N = 'it''s :NOT' AND M = :YES", {"YES"}},
        {"NoneInQuotedNames", "SELECT \":ALIAS\" FROM T WHERE X = :X", {"X"}},
        {"NoneInLineComments", "SELECT 1 -- :COMENTARIO\nFROM T WHERE A = :A", {"A"}},
        {"NoneInBlockComments", "SELECT /* :B\n :C */ 1 WHERE D = :D", {"D"}},
        {"UnclosedBlockComment", "SELECT :A /* :B", {"A"}},
        {"CastsAreNotNames", "SELECT X::TEXT, :P::INTEGER FROM T", {"P"}},
        {"DigitsAreNotNames", "SELECT :1, :_x1 FROM T", {"_x1"}},
        {"AtTheEnd", "WHERE A = :LAST", {"LAST"}},
        {"LoneColon", "WHERE A = : B", {}},
    };
    for (const NamesCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parameterNamesOf(QString::fromUtf8(c.statement)), c.expected) << c.name;
    }
}

// QryTotNomi as the cost-centre report declares it.
class ServerQuery : public ::testing::Test {
protected:
    void SetUp() override {
        qry.SetSQL({QStringLiteral("SELECT A.COD_CCOS, CC.NOM_CCOS, A.COD_TNOM, TN.NOM_TNOM, SUM(A.VAL_ACUM) AS VAL_ACUM"),
                    QStringLiteral("WHERE A.COD_EMPR = :P_COD_EMPR AND A.FEC_ACUM >= :P_FEC_INIC"),
                    QStringLiteral("AND A.FEC_ACUM <= :P_FEC_FINA")});
        qry.SetProviderName(QStringLiteral("DtsPTotNomi"));
        qry.SetRemoteServer(&server);
        qry.AddField(QStringLiteral("COD_CCOS"), TFieldType::ftSmallint);
        qry.AddField(QStringLiteral("NOM_CCOS"), TFieldType::ftFixedChar, 90);
        qry.AddField(QStringLiteral("COD_TNOM"), TFieldType::ftSmallint);
        qry.AddField(QStringLiteral("FEC_ACUM"), TFieldType::ftDateTime);
        qry.AddField(QStringLiteral("VAL_ACUM"), TFieldType::ftFloat);
        server.result.columns = {{QStringLiteral("cod_ccos"), TFieldType::ftUnknown},
                                 {QStringLiteral("NOM_CCOS"), TFieldType::ftFixedChar},
                                 {QStringLiteral("COD_TNOM"), TFieldType::ftSmallint},
                                 {QStringLiteral("FEC_ACUM"), TFieldType::ftDateTime},
                                 {QStringLiteral("VAL_ACUM"), TFieldType::ftFloat},
                                 {QStringLiteral("EXTRA"), TFieldType::ftString}};
    }
    FakeServer server;
    SClientDataSet qry{QStringLiteral("QryTotNomi")};
};

TEST_F(ServerQuery, SqlLinesMirrorTheCommandText) {
    EXPECT_EQ(qry.CommandText().count(QLatin1Char('\n')), 2);
    EXPECT_TRUE(qry.CommandText().startsWith(qry.SQL().first() + QLatin1Char('\n')));
    qry.SetCommandText(QStringLiteral("SELECT 1\r\nFROM T\nWHERE A = :A"));
    EXPECT_EQ(qry.SQL(), (QStringList{QStringLiteral("SELECT 1"), QStringLiteral("FROM T"), QStringLiteral("WHERE A = :A")}));
}

TEST_F(ServerQuery, ParamsAreDeclaredFromTheTextAndTypedBySetters) {
    ASSERT_EQ(qry.Params().Count(), 3);
    EXPECT_EQ(qry.Params()[0].DataType(), TFieldType::ftUnknown);
    qry.ParamByName(QStringLiteral("p_cod_empr")).SetAsSmallInt(3);
    qry.ParamByName(QStringLiteral("P_FEC_INIC")).SetAsDateTime(TDateTime::encodeDate(2026, 1, 1));
    EXPECT_EQ(qry.Params()[0].DataType(), TFieldType::ftSmallint);

    // A rebuilt text keeps what it shares with the former one and drops the rest.
    qry.SetSQL({QStringLiteral("SELECT * FROM T WHERE COD_EMPR = :P_COD_EMPR AND COD_TNOM IN (1,2) AND X = :P_NUEVO")});
    ASSERT_EQ(qry.Params().Count(), 2);
    EXPECT_EQ(qry.ParamByName(QStringLiteral("P_COD_EMPR")).DataType(), TFieldType::ftSmallint);
    EXPECT_EQ(qry.ParamByName(QStringLiteral("P_COD_EMPR")).AsInteger(), 3);
    EXPECT_EQ(errorOf([&] { qry.ParamByName(QStringLiteral("P_FEC_INIC")); }),
              QStringLiteral("Parámetro 'P_FEC_INIC' no encontrado."));
}

TEST(ServerQueryParams, DeclaredParamsSurviveANewText) {
    SClientDataSet qry(QStringLiteral("QryNmTprot"));
    qry.Params().Add(QStringLiteral("PSM_COD_EMPR"), TFieldType::ftSmallint);
    qry.SetSQL({QStringLiteral("SELECT COD_PROT FROM NM_TPROT WHERE COD_EMPR = :OTRO")});
    EXPECT_EQ(qry.Params().Count(), 1);
    EXPECT_NE(qry.Params().FindParam(QStringLiteral("PSM_COD_EMPR")), nullptr);
}

TEST_F(ServerQuery, OpenSendsTextAndTypedParamsToTheProvider) {
    qry.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsSmallInt(3);
    qry.ParamByName(QStringLiteral("P_FEC_INIC")).SetAsDateTime(TDateTime(46023));
    qry.ParamByName(QStringLiteral("P_FEC_FINA")).SetAsDateTime(TDateTime(46053));
    qry.Open();
    EXPECT_EQ(server.calls, 1);
    EXPECT_EQ(server.provider, QStringLiteral("DtsPTotNomi"));
    EXPECT_EQ(server.command, qry.CommandText());
    EXPECT_EQ(server.paramValues, (QStringList{QStringLiteral("P_COD_EMPR:Smallint=3"),
                                               QStringLiteral("P_FEC_INIC:DateTime=46023"),
                                               QStringLiteral("P_FEC_FINA:DateTime=46053")}));
    EXPECT_TRUE(qry.Active());
    EXPECT_TRUE(qry.IsEmpty());
}

struct RowCase {
    const char* name;
    QVariantList row; // COD_CCOS, NOM_CCOS, COD_TNOM, FEC_ACUM, VAL_ACUM, EXTRA as a backend hands them
};

// Every form a backend hands a value in becomes the declared type.
TEST_F(ServerQuery, PersistentFieldsTakeEveryBackendForm) {
    const double jan31 = 46053.0; // 31 Jan 2026
    const RowCase cases[] = {
        {"SqliteInt64AndIsoText",
         {QVariant::fromValue<qint64>(10), QStringLiteral("ADMINISTRACION"), QVariant::fromValue<qint64>(2),
          QStringLiteral("2026-01-31"), QVariant::fromValue<qint64>(1500), QStringLiteral("x")}},
        {"PaddedCharAndSerialDate",
         {10, QStringLiteral("ADMINISTRACION") + QString(76, QLatin1Char(' ')), 2, jan31, 1500.0,
          QVariant()}},
    };
    for (const RowCase& c : cases) {
        SCOPED_TRACE(c.name);
        server.result.rows = {c.row};
        qry.Close();
        qry.Open();
        EXPECT_EQ(qry.FieldByName(QStringLiteral("COD_CCOS")).Value(), QVariant(10));
        EXPECT_EQ(qry.FieldByName(QStringLiteral("NOM_CCOS")).Value(),
                  QVariant(QStringLiteral("ADMINISTRACION")));
        EXPECT_EQ(qry.FieldByName(QStringLiteral("COD_TNOM")).Value(), QVariant(2));
        EXPECT_EQ(qry.FieldByName(QStringLiteral("FEC_ACUM")).AsDateTime(),
                  TDateTime::encodeDate(2026, 1, 31));
        EXPECT_EQ(qry.FieldByName(QStringLiteral("VAL_ACUM")).Value(), QVariant(1500.0));
        EXPECT_EQ(qry.FindField(QStringLiteral("EXTRA")), nullptr);
    }
}

// An answer the declared fields cannot take is refused with the field named, and the query stays closed.
TEST_F(ServerQuery, ValuesOutOfRangeAndMissingDeclaredFieldsAreErrors) {
    server.result.rows = {{70000, QVariant(), 1, QVariant(), 0.0, QVariant()}};
    EXPECT_EQ(errorOf([&] { qry.Open(); }),
              QStringLiteral("El valor 70000 está fuera del rango del campo 'COD_CCOS' (-32768 a 32767)."));
    EXPECT_FALSE(qry.Active());
    server.result.rows.clear();
    qry.AddField(QStringLiteral("NOM_TNOM"), TFieldType::ftFixedChar, 40);
    EXPECT_EQ(errorOf([&] { qry.Open(); }),
              QStringLiteral("Campo 'NOM_TNOM' no encontrado en el resultado de la consulta QryTotNomi."));
    EXPECT_FALSE(qry.Active());
}

TEST_F(ServerQuery, CalculatedFieldsNeedNoColumn) {
    qry.AddField(QStringLiteral("DtfNmbTipNom"), TFieldType::ftString, 40, TFieldKind::fkCalculated);
    qry.OnCalcFields = [](TDataSet& d) {
        d.FieldByName(QStringLiteral("DtfNmbTipNom")).SetAsString(QStringLiteral("Clase %1").arg(d.FieldByName(QStringLiteral("COD_TNOM")).AsInteger()));
    };
    server.result.rows = {{1, QVariant(), 4, QVariant(), 0.0, QVariant()}};
    qry.Open();
    EXPECT_EQ(qry.FieldByName(QStringLiteral("DtfNmbTipNom")).AsString(), QStringLiteral("Clase 4"));
}

TEST_F(ServerQuery, MissingServerOrProviderAndServerErrorsAreErrors) {
    qry.SetProviderName(QString());
    EXPECT_EQ(errorOf([&] { qry.Open(); }), QStringLiteral("La consulta QryTotNomi no tiene proveedor asignado."));
    qry.SetRemoteServer(nullptr);
    EXPECT_EQ(errorOf([&] { qry.Open(); }), QStringLiteral("La consulta QryTotNomi no tiene servidor remoto asignado."));
    EXPECT_EQ(server.calls, 0);
    qry.SetRemoteServer(&server);
    qry.SetProviderName(QStringLiteral("DtsPTotNomi"));
    server.failure = QStringLiteral("no such table: NM_ACUMU");
    EXPECT_EQ(errorOf([&] { qry.Open(); }), QStringLiteral("no such table: NM_ACUMU"))
        << "reaches the caller";
    EXPECT_FALSE(qry.Active());
}

TEST_F(ServerQuery, ReopeningReadsTheServerAgain) {
    server.result.rows = {{1, QVariant(), 1, QVariant(), 1.0, QVariant()}};
    qry.Open();
    server.result.rows.push_back({2, QVariant(), 1, QVariant(), 2.0, QVariant()});
    qry.Open(); // already open: nothing happens
    EXPECT_EQ(qry.RecordCount(), 1);
    qry.Close();
    qry.Open();
    EXPECT_EQ(server.calls, 2);
    EXPECT_EQ(column(qry, QStringLiteral("COD_CCOS")), (QVariantList{1, 2}));
}

TEST(DynamicFields, CreatedFromColumnsOnOpenAndDroppedOnClose) {
    FakeServer server;
    server.result.columns = {{QStringLiteral("COD_EMPR"), TFieldType::ftUnknown},
                             {QStringLiteral("SALDO"), TFieldType::ftUnknown},
                             {QStringLiteral("NOM_EMPR"), TFieldType::ftUnknown},
                             {QStringLiteral("FEC_SOLI"), TFieldType::ftDateTime},
                             {QStringLiteral("VACIA"), TFieldType::ftUnknown},
                             {QStringLiteral("SALDO"), TFieldType::ftFloat}};
    server.result.rows = {{QVariant(), QVariant(), QStringLiteral("ACME"), 46053.0, QVariant(), 1.0},
                          {QVariant::fromValue<qint64>(2), 3.5, QStringLiteral("OTRA"), QVariant(), QVariant(), 2.0}};
    SClientDataSet qry(QStringLiteral("QrySaldoOrvex"));
    qry.SetCommandText(QStringLiteral("SELECT ..."));
    qry.SetProviderName(QStringLiteral("DtsPSaldoOrvex"));
    qry.SetRemoteServer(&server);
    qry.Open();
    ASSERT_EQ(qry.FieldCount(), 6);
    QStringList shape;
    for (int i = 0; i < qry.FieldCount(); ++i)
        shape << QStringLiteral("%1 %2 %3")
                     .arg(qry.Field(i).FieldName(), QString::fromLatin1(fieldTypeName(qry.Field(i).DataType())))
                     .arg(qry.Field(i).Size());
    EXPECT_EQ(shape, (QStringList{QStringLiteral("COD_EMPR Largeint 0"), QStringLiteral("SALDO Float 0"),
                                  QStringLiteral("NOM_EMPR String 255"), QStringLiteral("FEC_SOLI DateTime 0"),
                                  QStringLiteral("VACIA String 255"), QStringLiteral("SALDO_1 Float 0")}));
    qry.Last();
    EXPECT_EQ(qry.FieldByName(QStringLiteral("COD_EMPR")).AsInteger(), 2);
    EXPECT_EQ(qry.FieldByName(QStringLiteral("SALDO")).AsFloat(), 3.5);
    qry.First();
    EXPECT_EQ(qry.FieldByName(QStringLiteral("FEC_SOLI")).AsString(), QStringLiteral("31/01/2026"));
    qry.Close();
    EXPECT_EQ(qry.FieldCount(), 0);
}

} // namespace
