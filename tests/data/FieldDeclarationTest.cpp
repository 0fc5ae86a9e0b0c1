// Declared fields and parameters of the data module against the types, sizes, flags, labels and orders
// that the reports rely on (a fixed text compared as variable text, a 16-bit count, a calculated field
// declared as data, a missing label: each shows in a report or breaks a merge by key).
#include "TDtmNmRtgen.h"

#include <gtest/gtest.h>

namespace {

constexpr TFieldType S = TFieldType::ftSmallint;
constexpr TFieldType I = TFieldType::ftInteger;
constexpr TFieldType F = TFieldType::ftFloat;
constexpr TFieldType T = TFieldType::ftString;
constexpr TFieldType X = TFieldType::ftFixedChar;
constexpr TFieldType D = TFieldType::ftDateTime;

enum Kind { Data, Calc };

struct FieldCase {
    const char* dataSet;
    const char* field;
    TFieldType type;
    int size;
    Kind kind = Data;
    bool required = false;
};

void PrintTo(const FieldCase& c, std::ostream* os) {
    *os << c.dataSet << "." << c.field;
}

class DeclaredField : public ::testing::TestWithParam<FieldCase> {};

TField* findField(const TDtmNmRtgen& dtm, const char* dataSet, const char* field) {
    TDataSet* ds = dtm.dataSetByName(QString::fromLatin1(dataSet));
    return ds ? ds->FindField(QString::fromLatin1(field)) : nullptr;
}

} // namespace

TEST_P(DeclaredField, HasItsTypeSizeAndKind) {
    const FieldCase c = GetParam();
    TDtmNmRtgen dtm(nullptr);
    TField* field = findField(dtm, c.dataSet, c.field);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->FieldName(), QString::fromLatin1(c.field)); // the case the statement uses
    EXPECT_EQ(field->DataType(), c.type) << fieldTypeName(field->DataType());
    if (isTextType(c.type)) {
        EXPECT_EQ(field->Size(), c.size);
    }
    EXPECT_EQ(field->Calculated(), c.kind == Calc);
    EXPECT_EQ(field->Required(), c.required);
}

INSTANTIATE_TEST_SUITE_P(
    DataModule, DeclaredField,
    ::testing::Values(
        FieldCase{"QryNmRtgen", "COD_EMPL", F, 0}, FieldCase{"QryNmTnomi", "NOM_TNOM", X, 40},
        FieldCase{"QryNmTprot", "COD_PROT", S, 0, Data, true}, FieldCase{"QryNmTprot", "NOM_PROT", X, 40},
        FieldCase{"QryNmParin", "COD_CDCF", S, 0}, FieldCase{"QryNmTnomi1", "nom_tnom", X, 40},
        FieldCase{"QryNmConce", "cod_conc", S, 0, Data, true}, FieldCase{"QrySaldoOrvex", "SALDO", F, 0},
        FieldCase{"QryTotAcuNom", "TIP_CONC", X, 1}, FieldCase{"QryNmPrtgeCn", "COD_CUEN", T, 14},
        FieldCase{"QryNmPrtgePf", "ACT_HORA", D, 0}, FieldCase{"QryNmPrtgePf", "RMT_PRTG", I, 0},
        FieldCase{"QryNmPrtgePf", "DES_AGRU", T, 255}, FieldCase{"QryTotRqpEst", "NOM_CCOS", X, 90},
        FieldCase{"QryTotRqpEst", "COD_CARP", X, 6}, FieldCase{"QryTotAspiContr", "TIP_CONT", X, 1},
        FieldCase{"QryPlantCarg", "NOM_CARG", X, 40}, FieldCase{"QryVacantes", "CONTEO", I, 0},
        FieldCase{"QryTotNomi", "COD_CCOS", S, 0}, FieldCase{"QryTotNomi", "NOM_CCOS", X, 90},
        FieldCase{"QryTotNomi", "NOM_TNOM", X, 40}, FieldCase{"QryComisMante", "NOM_SERV", X, 128},
        FieldCase{"QryFacturaEmpr", "COD_NIV1", I, 0}, FieldCase{"QryFacturaEmpr", "FEC_INGR", D, 0},
        FieldCase{"QryEmplTemp", "NOM_NIVE", T, 90}, FieldCase{"QryEmplTemp", "NIT_EMPR", F, 0},
        FieldCase{"QryEmplTemp", "GRA_EDUC", T, 2}, FieldCase{"QryRpTemporales", "COD_REQS", T, 8},
        FieldCase{"QryRpTemporales", "DtfNmbDpto", T, 30, Calc},
        FieldCase{"QryRpTemporales", "DtfNmbMpio", T, 30, Calc}, FieldCase{"QrySlRepf", "NOM_ESPE", T, 255},
        FieldCase{"QryAutol", "CONTEO", I, 0}, FieldCase{"QryNmPropa", "VAR_LIQU", F, 0},
        FieldCase{"QryNmConva", "DIA_CONS", F, 0}, FieldCase{"QryGestionHumana", "NOM_EMPR", X, 80},
        FieldCase{"QryGestionHumana", "DtfPorCent", F, 0, Calc},
        FieldCase{"QryGestionHumana", "DtfNmbTipNom", T, 40, Calc},
        FieldCase{"QrySeguridadSocial", "MES_PROC", I, 0},
        FieldCase{"QrySeguridadSocial", "DtfNmbMes", T, 64, Calc},
        FieldCase{"QryParafiscales", "NOM_PROV", X, 40},
        FieldCase{"QryCmpTotNomi", "DtfNmbTnom", T, 64, Calc}, FieldCase{"QryCmpTotNomi", "TIP_NOMI", X, 1},
        FieldCase{"CdsNmTnomi", "NOM_TNOM", T, 40}, FieldCase{"CdsRqpReporte", "TRA_CONT", I, 0},
        FieldCase{"CdsRqpReporte", "TOT_SSSS", S, 0}, FieldCase{"CdsRptIngrRet", "TOT_VCAN", S, 0},
        FieldCase{"CdsRptIngrRetCg", "COD_CARG", X, 6}, FieldCase{"CdsComisCdtor", "NOM_TCTR", T, 255},
        FieldCase{"CdsEmpTemp", "NOM_EMP2", T, 15}, FieldCase{"CdsEmpTemp", "APE_EMP1", T, 25},
        FieldCase{"CdsEmpTemp", "TIE_DIAS", I, 0}, FieldCase{"CdsGH", "NOM_TNOM", T, 64},
        FieldCase{"CdsGH", "DtfNmbSexo", T, 32, Calc}, FieldCase{"CdsGH", "DtfEstCivi", T, 32, Calc},
        FieldCase{"CdsGH", "DtfPorCent", F, 0, Calc}, FieldCase{"CdsPrfsGH", "COD_PROV", S, 0},
        FieldCase{"CdsCmpTotNomi", "NOM_TNOM", T, 40}, FieldCase{"CdsCmpTotNomi", "DtfNmbMes", T, 64, Data},
        FieldCase{"CdsCmpTotNomi", "DtfNmbTnom", T, 64, Data}),
    [](const ::testing::TestParamInfo<FieldCase>& info) {
        return std::string(info.param.dataSet) + "_" + info.param.field;
    });

namespace {

struct OrderCase {
    const char* dataSet;
    std::vector<const char*> fields;
};

void PrintTo(const OrderCase& c, std::ostream* os) {
    *os << c.dataSet;
}

class FieldOrder : public ::testing::TestWithParam<OrderCase> {};

} // namespace

// Layouts and the merges copy fields by position or print them in declaration order.
TEST_P(FieldOrder, IsTheDeclaredOrder) {
    const OrderCase c = GetParam();
    TDtmNmRtgen dtm(nullptr);
    TDataSet* ds = dtm.dataSetByName(QString::fromLatin1(c.dataSet));
    ASSERT_NE(ds, nullptr);
    QStringList actual, expected;
    for (int i = 0; i < ds->FieldCount(); ++i)
        actual << ds->Field(i).FieldName();
    for (const char* name : c.fields)
        expected << QString::fromLatin1(name);
    EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(
    DataModule, FieldOrder,
    ::testing::Values(
        OrderCase{"CdsTotNomi", {"COD_CCOS", "NOM_CCOS", "COD_TNOM", "NOM_TNOM", "VAL_ACUM"}},
        OrderCase{"CdsReporte",
                  {"COD_CUEN", "NOM_CONC", "SAL_NOMI", "SAL_CONT", "DIF_SALD", "OBS_ERVA", "OBS_VALO"}},
        OrderCase{"CdsNomxPag",
                  {"COD_CUEN", "NOM_CONC", "SAL_NOMI", "SAL_CONT", "DIF_SALD", "OBS_ERVA", "OBS_VALO"}},
        OrderCase{
            "CdsRptIngrRet",
            {"COD_TNOM", "NOM_TNOM", "TOT_VACA", "TOT_INGR", "TOT_PLAN", "TOT_RETI", "TOT_INCA", "TOT_VCAN"}},
        OrderCase{"CdsGH",
                  {"COD_EMPR", "NOM_EMPR", "COD_TNOM", "NOM_TNOM", "SEX_EMPL", "EST_CIVI", "CONTEO",
                   "TOT_EMPL", "DtfNmbSexo", "DtfEstCivi", "DtfPorCent"}},
        OrderCase{"CdsSeguridadSocial",
                  {"COD_EMPR", "NOM_EMPR", "ANO_PROC", "MES_PROC", "NOM_MESP", "COD_TNOM", "NOM_TNOM",
                   "TOT_SALU", "TOT_PENS", "TOT_PARP"}},
        OrderCase{"QryNmPrtgeCn",
                  {"ACT_USUA", "ACT_HORA", "ACT_ESTA", "COD_EMPR", "RMT_PRTG", "TIP_PARA", "TIP_NOVE",
                   "NOM_NOVE", "COD_CUEN", "COD_PROT", "COD_TNOM", "DES_AGRU"}},
        OrderCase{"CdsFacturaEmpr",
                  {"COD_EMPL", "NOM_EMPL", "APE_EMPL", "COD_CONC", "NOM_CONC", "COD_CCOS", "NOM_CCOS",
                   "COD_CARG", "NOM_CARG", "CAN_ACUM", "VAL_ACUM", "COD_NIV1", "NOM_NIVE", "COD_CENP",
                   "NOM_CENP", "TAR_ATEP", "FEC_INGR"}}),
    [](const ::testing::TestParamInfo<OrderCase>& info) { return std::string(info.param.dataSet); });

// The invoice builder copies every query field into the result field of the same name.
TEST(DataModule, InvoiceQueryAndResultSetShareTheirFields) {
    TDtmNmRtgen dtm(nullptr);
    ASSERT_EQ(dtm.QryFacturaEmpr->FieldCount(), dtm.CdsFacturaEmpr->FieldCount());
    for (int i = 0; i < dtm.QryFacturaEmpr->FieldCount(); ++i) {
        const TField& q = dtm.QryFacturaEmpr->Field(i);
        const TField* c = dtm.CdsFacturaEmpr->FindField(q.FieldName());
        ASSERT_NE(c, nullptr) << q.FieldName().toStdString();
        EXPECT_EQ(c->DataType(), q.DataType()) << q.FieldName().toStdString();
        EXPECT_EQ(c->Size(), q.Size()) << q.FieldName().toStdString();
    }
}

TEST(DataModule, ChosenListsCarryTheirGridLabels) {
    TDtmNmRtgen dtm(nullptr);
    EXPECT_EQ(dtm.CdsNmTnomi->FieldByName(QStringLiteral("COD_TNOM")).DisplayLabel(),
              QStringLiteral("Código"));
    EXPECT_EQ(dtm.CdsNmTnomi->FieldByName(QStringLiteral("NOM_TNOM")).DisplayLabel(),
              QStringLiteral("Nombre"));
    EXPECT_EQ(dtm.CdsNmTprot->FieldByName(QStringLiteral("COD_PROT")).DisplayLabel(),
              QStringLiteral("Prototipo"));
    EXPECT_EQ(dtm.CdsNmTprot->FieldByName(QStringLiteral("NOM_PROT")).DisplayLabel(),
              QStringLiteral("Nombre Prototipo"));
}

namespace {

struct IndexCase {
    const char* dataSet;
    const char* index;
};

class ResultSetIndex : public ::testing::TestWithParam<IndexCase> {};

} // namespace

TEST_P(ResultSetIndex, IsSetFromCreation) {
    TDtmNmRtgen dtm(nullptr);
    TDataSet* ds = dtm.dataSetByName(QString::fromLatin1(GetParam().dataSet));
    ASSERT_NE(ds, nullptr);
    EXPECT_EQ(ds->IndexFieldNames(), QString::fromLatin1(GetParam().index));
}

INSTANTIATE_TEST_SUITE_P(
    DataModule, ResultSetIndex,
    ::testing::Values(IndexCase{"CdsNmTnomi", "COD_TNOM"}, IndexCase{"CdsNmTprot", "COD_PROT"},
                      IndexCase{"CdsEmpTemp", "COD_ESTA;FEC_INGR"},
                      IndexCase{"CdsPrfsGH", "ANO_PROC;MES_PROC;COD_TNOM;COD_PROV"},
                      IndexCase{"CdsCmpTotNomi", "COD_EMPR;ANO_PROC;MES_PROC;COD_TNOM;TIP_NOMI"},
                      // rows stay in the order the builders add them
                      IndexCase{"CdsTotNomi", ""}, IndexCase{"CdsGH", ""}, IndexCase{"CdsComisCdtor", ""},
                      IndexCase{"CdsFacturaEmpr", ""}),
    [](const ::testing::TestParamInfo<IndexCase>& info) { return std::string(info.param.dataSet); });

// An index keeps the list of chosen classes in code order whatever order the user types them in.
TEST(DataModule, ChosenClassesReadInCodeOrder) {
    TDtmNmRtgen dtm(nullptr);
    TClientDataSet& classes = *dtm.CdsNmTnomi;
    for (int code : {10, 1, 3}) {
        classes.Append();
        classes.FieldByName(QStringLiteral("COD_TNOM")).SetAsInteger(code);
        classes.Post();
    }
    QList<int> read;
    for (classes.First(); !classes.Eof(); classes.Next())
        read << classes.FieldByName(QStringLiteral("COD_TNOM")).AsInteger();
    EXPECT_EQ(read, (QList<int>{1, 3, 10}));
}

namespace {

struct ParamCase {
    const char* query;
    const char* param;
    TFieldType type;
};

class DeclaredParam : public ::testing::TestWithParam<ParamCase> {};

} // namespace

TEST_P(DeclaredParam, HasItsType) {
    TDtmNmRtgen dtm(nullptr);
    auto* query = qobject_cast<SClientDataSet*>(dtm.dataSetByName(QString::fromLatin1(GetParam().query)));
    ASSERT_NE(query, nullptr);
    const TParam* param = query->Params().FindParam(QString::fromLatin1(GetParam().param));
    ASSERT_NE(param, nullptr);
    EXPECT_EQ(param->DataType(), GetParam().type) << fieldTypeName(param->DataType());
}

INSTANTIATE_TEST_SUITE_P(
    DataModule, DeclaredParam,
    ::testing::Values(
        ParamCase{"QryNmTnomi", "P_COD_EMPR", S}, ParamCase{"QryNmTprot", "PSM_COD_EMPR", S},
        ParamCase{"QryNmTnomi1", "cod_tnom", S}, ParamCase{"QryNmConce", "cod_prot", S},
        ParamCase{"QryNmPrtgeCn", "COD_EMPR", S}, ParamCase{"QrySaldoOrvex", "P_MES_ACUM", S},
        ParamCase{"QrySaldoOrvex", "P_COD_CUEN", T}, ParamCase{"QryTotAcuNom", "P_FEC_INIC", D},
        ParamCase{"QryTotAcuNom", "P_COD_PROT", S}, ParamCase{"QryAcumuNomAdmon", "P_COD_TNOM", S},
        ParamCase{"QryTotAspiCarg", "P_COD_CCOS", S}, ParamCase{"QryTotAspiCarg", "P_COD_CARP", T},
        ParamCase{"QryTotAspiContr", "P_DES_GERE", T}, ParamCase{"QryIngresos", "P_FEC_FINA", D},
        ParamCase{"QryNmNoved", "P_FEC_PAGO", D}, ParamCase{"QryNmCinca", "P_TIP_ENTI", T},
        ParamCase{"QryTotNomi", "P_FEC_FINA", D}, ParamCase{"QryComisCdtor", "P_FEC_INIC", D},
        ParamCase{"QryFacturaEmpr", "P_COD_EMPR", S}, ParamCase{"QryGnDivip", "P_COD_MPIO", S},
        ParamCase{"QrySlRepf", "P_COD_REQS", T}, ParamCase{"QryAutol", "P_COD_CARG", T},
        ParamCase{"QryCmpTotNomi", "P_FEC_FINA", D}, ParamCase{"QrySeguridadSocial", "P_FEC_INIC", D}),
    [](const ::testing::TestParamInfo<ParamCase>& info) {
        return std::string(info.param.query) + "_" + info.param.param;
    });
