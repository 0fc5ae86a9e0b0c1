#include "DatasetCatalog.h"

#include "GeneralError.h"
#include "TDtmNmRtgen.h"

#include <QFile>

namespace {

constexpr TFieldType kSmall = TFieldType::ftSmallint;
constexpr TFieldType kInt = TFieldType::ftInteger;
constexpr TFieldType kFloat = TFieldType::ftFloat;
constexpr TFieldType kText = TFieldType::ftString;
constexpr TFieldType kFixed = TFieldType::ftFixedChar;
constexpr TFieldType kDate = TFieldType::ftDateTime;
constexpr FieldFlag kRequired = FieldFlag::Required;
constexpr FieldFlag kCalc = FieldFlag::Calculated;

constexpr StatementSource kFixedText = StatementSource::Fixed;
constexpr StatementSource kRunTime = StatementSource::BuiltAtRunTime;
constexpr StatementSource kOnServer = StatementSource::Server;

const ParamDecl pEmpr{"P_COD_EMPR", kSmall};
const ParamDecl pInic{"P_FEC_INIC", kDate};
const ParamDecl pFina{"P_FEC_FINA", kDate};
const ParamDecl pTnom{"P_COD_TNOM", kSmall};

// NM_PRTGE read whole ("select *"): the parameter rows of kinds CN, PF and GH.
std::vector<FieldDecl> prtgeFields() {
    return {{"ACT_USUA", kText, 8}, {"ACT_HORA", kDate},     {"ACT_ESTA", kText, 1},
            {"COD_EMPR", kSmall},   {"RMT_PRTG", kInt},      {"TIP_PARA", kText, 2},
            {"TIP_NOVE", kText, 3}, {"NOM_NOVE", kText, 50}, {"COD_CUEN", kText, 14},
            {"COD_PROT", kSmall},   {"COD_TNOM", kSmall},    {"DES_AGRU", kText, 255}};
}

// A staff figure of one payroll class: the class total.
std::vector<FieldDecl> classCountFields() {
    return {{"CONTEO", kInt}};
}
// The same figure by position of the class.
std::vector<FieldDecl> positionCountFields() {
    return {{"COD_CARG", kFixed, 6}, {"NOM_CARG", kFixed, 40}, {"CONTEO", kInt}};
}

// Net payroll grouped by concept type, signed on the client (E subtracts, anything else adds).
std::vector<FieldDecl> netByConceptTypeFields() {
    return {{"TIP_CONC", kFixed, 1}, {"VAL_ACUM", kFloat}};
}

std::vector<FieldDecl> commissionFields() {
    return {{"TIP_CTOR", kFixed, 1},
            {"COD_SBAS", kSmall},
            {"NOM_SERV", kFixed, 128},
            {"EMPLEADOS", kInt},
            {"VAL_ACUM", kFloat}};
}

// Query and result set of the user-company invoice share their 17 fields.
std::vector<FieldDecl> invoiceFields() {
    return {{"COD_EMPL", kFloat},     {"NOM_EMPL", kFixed, 25}, {"APE_EMPL", kFixed, 40},
            {"COD_CONC", kSmall},     {"NOM_CONC", kFixed, 40}, {"COD_CCOS", kSmall},
            {"NOM_CCOS", kFixed, 90}, {"COD_CARG", kFixed, 6},  {"NOM_CARG", kFixed, 40},
            {"CAN_ACUM", kFloat},     {"VAL_ACUM", kFloat},     {"COD_NIV1", kInt},
            {"NOM_NIVE", kFixed, 90}, {"COD_CENP", kSmall},     {"NOM_CENP", kFixed, 40},
            {"TAR_ATEP", kFloat},     {"FEC_INGR", kDate}};
}

// Account reconciliation rows (payroll balance against ledger balance).
std::vector<FieldDecl> reconciliationFields() {
    return {{"COD_CUEN", kText, 30}, {"NOM_CONC", kText, 64},  {"SAL_NOMI", kFloat}, {"SAL_CONT", kFloat},
            {"DIF_SALD", kFloat},    {"OBS_ERVA", kText, 255}, {"OBS_VALO", kFloat}};
}

// Head counts: whole numbers wide enough for any payroll (a 16-bit field would wrap past 32767).
std::vector<FieldDecl> staffFigureFields() {
    return {{"TOT_VACA", kInt}, {"TOT_INGR", kInt}, {"TOT_PLAN", kInt},
            {"TOT_RETI", kInt}, {"TOT_INCA", kInt}, {"TOT_VCAN", kInt}};
}

template <typename T> std::vector<T> concat(std::vector<T> a, const std::vector<T>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<QueryDecl> buildQueries() {
    using D = TDtmNmRtgen;
    const std::vector<ParamDecl> period{pEmpr, pInic, pFina};
    const std::vector<ParamDecl> classOnly{pEmpr, pTnom};
    const std::vector<ParamDecl> classPeriod{pEmpr, pTnom, pInic, pFina};
    const std::vector<ParamDecl> applicantCombination{pEmpr,
                                                      pInic,
                                                      pFina,
                                                      {"P_COD_CCOS", kSmall},
                                                      {"P_COD_CARP", kText},
                                                      {"P_EST_SELE", kText},
                                                      {"P_DES_GERE", kText}};
    const std::vector<ParamDecl> positionPeriod{pEmpr, {"P_COD_CARG", kText}, pInic, pFina};
    const std::vector<ParamDecl> window{pInic, pFina};

    return {
        // --- form and shared ---
        {&D::QryNmRtgen,
         "QryNmRtgen",
         kFixedText,
         {},
         {{"COD_EMPL", kFloat}, {"NOM_EMPL", kText, 25}, {"APE_EMPL", kText, 40}}},
        {&D::QryNmTnomi, "QryNmTnomi", kFixedText, {pEmpr}, {{"COD_TNOM", kSmall}, {"NOM_TNOM", kFixed, 40}}},
        {&D::QryNmTprot,
         "QryNmTprot",
         kOnServer,
         {{"PSM_COD_EMPR", kSmall}},
         {{"COD_PROT", kSmall, 0, kRequired}, {"NOM_PROT", kFixed, 40}}},
        {&D::QryNmParin,
         "QryNmParin",
         kFixedText,
         {pEmpr},
         {{"COD_SENA", kSmall}, {"COD_ICBF", kSmall}, {"COD_CDCF", kSmall}}},
        {&D::QryNmParam, "QryNmParam", kFixedText, {pEmpr}, {{"SAL_MINL", kFloat}}},
        {&D::QryNmTnomi1,
         "QryNmTnomi1",
         kFixedText,
         {{"cod_empr", kSmall}, {"cod_tnom", kSmall}},
         {{"nom_tnom", kFixed, 40}}},
        {&D::QryNmConce,
         "QryNmConce",
         kFixedText,
         {{"cod_empr", kSmall}, {"cod_prot", kSmall}},
         {{"cod_conc", kSmall, 0, kRequired}}},

        // --- 0 Conciliación de Nómina ---
        // P_COD_PROT serves the novelty reconciliation's text; the payroll reconciliation lists prototypes.
        {&D::QryTotAcuNom, "QryTotAcuNom", kRunTime, concat(period, {{"P_COD_PROT", kSmall}}),
         netByConceptTypeFields()},
        {&D::QryAcumuNomAdmon, "QryAcumuNomAdmon", kRunTime, concat(period, {pTnom}),
         netByConceptTypeFields()},
        {&D::QrySaldoOrvex,
         "QrySaldoOrvex",
         kFixedText,
         {pEmpr, {"P_ANO_ACUM", kSmall}, {"P_MES_ACUM", kSmall}, {"P_COD_CUEN", kText}},
         {{"SALDO", kFloat}}},
        // Opened by no report and its statement is not handed down: it reads the pre-payroll values of
        // the company and period by concept type, the shape of the reconciliation's own queries.
        {&D::QryAcumPreno, "QryAcumPreno", kFixedText, period, netByConceptTypeFields()},

        // --- 1 Requisición de Personal ---
        {&D::QryTotRqpEst,
         "QryTotRqpEst",
         kFixedText,
         period,
         {{"COD_CCOS", kSmall},
          {"NOM_CCOS", kFixed, 90},
          {"COD_CARP", kFixed, 6},
          {"NOM_CARG", kFixed, 40},
          {"EST_SELE", kFixed, 1},
          {"DES_GERE", kFixed, 1}}},
        {&D::QryTotAspiCarg, "QryTotAspiCarg", kFixedText, applicantCombination, {{"TOT_ASPI", kInt}}},
        {&D::QryTotAspiContr,
         "QryTotAspiContr",
         kFixedText,
         applicantCombination,
         {{"TIP_CONT", kFixed, 1}, {"TOT_ASPI", kInt}}},
        // Read by no report and its statement is not handed down: the requisitions of the company
        // requested in the period.
        {&D::QrySlReqpe,
         "QrySlReqpe",
         kFixedText,
         period,
         {{"COD_GRSE", kText, 8},
          {"COD_REQS", kText, 8},
          {"COD_CCOS", kSmall},
          {"COD_CARP", kFixed, 6},
          {"FEC_SOLI", kDate},
          {"NRO_PLAZ", kInt},
          {"NRO_VACU", kInt},
          {"SUE_PROP", kFloat}}},

        // --- 2 Ingresos, Retiros, Planta, Vacaciones ---
        {&D::QryPlanta, "QryPlanta", kFixedText, classOnly, classCountFields()},
        {&D::QryPlantCarg, "QryPlantCarg", kFixedText, classOnly, positionCountFields()},
        {&D::QryIngresos, "QryIngresos", kFixedText, classPeriod, classCountFields()},
        {&D::QryIngreCarg, "QryIngreCarg", kFixedText, classPeriod, positionCountFields()},
        {&D::QryRetiros, "QryRetiros", kFixedText, classPeriod, classCountFields()},
        {&D::QryRetirCarg, "QryRetirCarg", kFixedText, classPeriod, positionCountFields()},
        {&D::QryNmVacac, "QryNmVacac", kFixedText, classPeriod, classCountFields()},
        {&D::QryNmVacaCarg, "QryNmVacaCarg", kFixedText, classPeriod, positionCountFields()},
        {&D::QryIncapacidades, "QryIncapacidades", kFixedText, classPeriod, classCountFields()},
        {&D::QryIncapCarg, "QryIncapCarg", kFixedText, classPeriod, positionCountFields()},
        {&D::QryVacantes, "QryVacantes", kFixedText, classOnly, classCountFields()},
        {&D::QryVacanCarg, "QryVacanCarg", kFixedText, classOnly, positionCountFields()},

        // --- 3 Conciliación de Novedades ---
        {&D::QryNmPrtgeCn, "QryNmPrtgeCn", kFixedText, {{"COD_EMPR", kSmall}}, prtgeFields()},
        {&D::QryNmNoved,
         "QryNmNoved",
         kFixedText,
         {pEmpr, {"P_FEC_PAGO", kDate}, {"P_COD_PROT", kSmall}},
         {{"SAL_NOVE", kFloat}}},
        {&D::QryNmCinca, "QryNmCinca", kFixedText, {pEmpr, {"P_TIP_ENTI", kText}}, {{"DIF_DOCT", kFloat}}},

        // --- 4 Valor Nómina Centro de Costos ---
        {&D::QryTotNomi,
         "QryTotNomi",
         kFixedText,
         period,
         {{"COD_CCOS", kSmall},
          {"NOM_CCOS", kFixed, 90},
          {"COD_TNOM", kSmall},
          {"NOM_TNOM", kFixed, 40},
          {"VAL_ACUM", kFloat}}},

        // --- 5 Comisiones Conductores ---
        {&D::QryComisCdtor, "QryComisCdtor", kRunTime, period, commissionFields()},
        {&D::QryComisMante, "QryComisMante", kRunTime, period, commissionFields()},

        // --- 6 Factura Empresa Usuaria ---
        {&D::QryFacturaEmpr, "QryFacturaEmpr", kRunTime, period, invoiceFields()},

        // --- 7 Temporales ---
        {&D::QryEmplTemp,
         "QryEmplTemp",
         kFixedText,
         period,
         {{"NOM_NIVE", kFixed, 90},
          {"NIT_EMPR", kFloat},
          {"DIG_VERI", kFixed, 1},
          {"TIP_DOCU", kFixed, 1},
          {"COD_EMPL", kFloat},
          {"IND_ACTI", kFixed, 1},
          {"APE_EMPL", kFixed, 40},
          {"NOM_EMPL", kFixed, 25},
          {"FEC_NACI", kDate},
          {"SEX_EMPL", kFixed, 1},
          {"FEC_INGR", kDate},
          {"FEC_VENC", kDate},
          {"COD_CARG", kFixed, 6},
          {"NOM_CARG", kFixed, 40},
          {"SUE_BASI", kFloat},
          {"GRA_EDUC", kFixed, 2},
          {"FOR_ACAD", kFixed, 1}}},
        {&D::QryEmplNoTemp,
         "QryEmplNoTemp",
         kFixedText,
         period,
         {{"DES_GRSE", kFixed, 80},
          {"NIT_EMPR", kFloat},
          {"DIG_VERI", kFixed, 1},
          {"TIP_DOCU", kFixed, 1},
          {"COD_ASPI", kFloat},
          {"APE_EMPL", kFixed, 40},
          {"NOM_EMPL", kFixed, 25},
          {"FEC_NACI", kDate},
          {"SEX_EMPL", kFixed, 1},
          {"GRA_EDUC", kFixed, 2},
          {"COD_CARP", kFixed, 6},
          {"NOM_CARG", kFixed, 40}}},
        {&D::QryRpTemporales,
         "QryRpTemporales",
         kFixedText,
         period,
         {{"COD_GRSE", kFixed, 8},
          {"COD_REQS", kFixed, 8},
          {"DES_GRSE", kFixed, 80},
          {"NIT_EMPR", kFloat},
          {"DIG_VERI", kFixed, 1},
          {"COD_PAIS", kSmall},
          {"COD_DPTO", kSmall},
          {"COD_MPIO", kSmall},
          {"FEC_SOLI", kDate},
          {"COD_CARP", kFixed, 6},
          {"NOM_CARG", kFixed, 40},
          {"NRO_PLAZ", kInt},
          {"NRO_VACU", kInt},
          {"SUE_PROP", kFloat},
          {"DtfNmbDpto", kText, 30, kCalc},
          {"DtfNmbMpio", kText, 30, kCalc}}},
        {&D::QryGnDivip,
         "QryGnDivip",
         kFixedText,
         {{"P_COD_PAIS", kSmall}, {"P_COD_DPTO", kSmall}, {"P_COD_MPIO", kSmall}},
         {{"COD_PAIS", kSmall}, {"COD_DPTO", kSmall}, {"COD_MPIO", kSmall}, {"NOM_MPIO", kFixed, 30}}},
        {&D::QrySlRepf,
         "QrySlRepf",
         kFixedText,
         {pEmpr, {"P_COD_GRSE", kText}, {"P_COD_REQS", kText}},
         {{"COD_REQU", kSmall}, {"NOM_REQU", kFixed, 40}, {"COD_ESPE", kSmall}, {"NOM_ESPE", kText, 255}}},

        // --- 8 Parafiscales ---
        {&D::QryNmPrtgePf, "QryNmPrtgePf", kFixedText, {{"COD_EMPR", kSmall}}, prtgeFields()},
        {&D::QryAutol,
         "QryAutol",
         kFixedText,
         positionPeriod,
         {{"COD_CARG", kText, 6},
          {"NOM_CARG", kText, 40},
          {"CONTEO", kInt},
          {"SUE_BASI", kFloat},
          {"ING_SALU", kFloat},
          {"EPS_APOR", kFloat},
          {"AFP_APOR", kFloat},
          {"ARP_APOR", kFloat}}},
        {&D::QryNmPropa,
         "QryNmPropa",
         kFixedText,
         positionPeriod,
         {{"COD_PROV", kSmall}, {"NOM_PROV", kText, 40}, {"VAR_LIQU", kFloat}}},

        // --- 9 Consolidado Vacaciones ---
        {&D::QryNmConva,
         "QryNmConva",
         kFixedText,
         period,
         {{"BAS_LIQU", kFloat}, {"DIA_CONS", kFloat}, {"VAC_CONS", kFloat}}},

        // --- 10 Gestión Humana: every company, so no company parameter ---
        {&D::QryGestionHumana,
         "QryGestionHumana",
         kFixedText,
         {},
         {{"COD_EMPR", kSmall},
          {"NOM_EMPR", kFixed, 80},
          {"COD_TNOM", kSmall},
          {"SEX_EMPL", kFixed, 1},
          {"EST_CIVI", kFixed, 1},
          {"CONTEO", kInt},
          {"TOT_EMPL", kInt},
          {"DtfNmbSexo", kText, 32, kCalc},
          {"DtfEstCivi", kText, 32, kCalc},
          {"DtfPorCent", kFloat, 0, kCalc},
          {"DtfNmbTipNom", kText, 40, kCalc}}},
        {&D::QrySeguridadSocial,
         "QrySeguridadSocial",
         kFixedText,
         window,
         {{"COD_EMPR", kSmall},
          {"NOM_EMPR", kFixed, 80},
          {"ANO_PROC", kInt},
          {"MES_PROC", kInt},
          {"COD_TNOM", kSmall},
          {"TOT_SALU", kFloat},
          {"TOT_PENS", kFloat},
          {"TOT_PARP", kFloat},
          {"DtfNmbMes", kText, 64, kCalc},
          {"DtfNmbTipNom", kText, 40, kCalc}}},
        {&D::QryParafiscales,
         "QryParafiscales",
         kFixedText,
         window,
         {{"COD_EMPR", kSmall},
          {"NOM_EMPR", kFixed, 80},
          {"ANO_PROC", kInt},
          {"MES_PROC", kInt},
          {"COD_TNOM", kSmall},
          {"COD_PROV", kSmall},
          {"NOM_PROV", kFixed, 40},
          {"VAL_LIQU", kFloat},
          {"DtfNmbMes", kText, 64, kCalc},
          {"DtfNmbTipNom", kText, 40, kCalc}}},
        {&D::QryCmpTotNomi,
         "QryCmpTotNomi",
         kRunTime,
         window,
         {{"COD_EMPR", kSmall},
          {"NOM_EMPR", kFixed, 80},
          {"ANO_PROC", kInt},
          {"MES_PROC", kInt},
          {"COD_TNOM", kSmall},
          {"TIP_NOMI", kFixed, 1},
          {"VAL_ACUM", kFloat},
          {"DtfNmbMes", kText, 64, kCalc},
          {"DtfNmbTnom", kText, 64, kCalc},
          {"DtfNmbTipNom", kText, 40, kCalc}}},
        // Its statement is not handed down: the active headcount of the "GH" payroll classes per company,
        // the figure that QryGestionHumana repeats on every row as TOT_EMPL.
        {&D::QryGHActivos, "QryGHActivos", kFixedText, {}, {{"COD_EMPR", kSmall}, {"TOT_EMPL", kInt}}},
    };
}

std::vector<ResultSetDecl> buildResultSets() {
    using D = TDtmNmRtgen;
    return {
        {&D::CdsNmTnomi,
         "CdsNmTnomi",
         {{"COD_TNOM", kSmall, 0, FieldFlag::None, "Código"},
          {"NOM_TNOM", kText, 40, FieldFlag::None, "Nombre"}},
         "COD_TNOM"},
        {&D::CdsNmTprot,
         "CdsNmTprot",
         {{"COD_PROT", kSmall, 0, FieldFlag::None, "Prototipo"},
          {"NOM_PROT", kText, 40, FieldFlag::None, "Nombre Prototipo"}},
         "COD_PROT"},
        {&D::CdsReporte, "CdsReporte", reconciliationFields()},
        {&D::CdsRqpReporte,
         "CdsRqpReporte",
         {{"COD_CCOS", kSmall},
          {"NOM_CCOS", kText, 90},
          {"COD_CARG", kText, 6},
          {"NOM_CARG", kText, 40},
          // Counts of applicants: 32-bit, a 16-bit field would wrap past 32767.
          {"TRA_CONT", kInt},
          {"CON_INDF", kInt},
          {"CON_TFIJ", kInt},
          {"CON_APRE", kInt},
          {"TOT_NSEL", kInt},
          {"TOT_EESS", kInt},
          {"TOT_SSSS", kInt}}},
        {&D::CdsRptIngrRet, "CdsRptIngrRet",
         concat<FieldDecl>({{"COD_TNOM", kSmall}, {"NOM_TNOM", kText, 40}}, staffFigureFields())},
        {&D::CdsRptIngrRetCg, "CdsRptIngrRetCg",
         concat<FieldDecl>({{"COD_TNOM", kSmall},
                            {"NOM_TNOM", kText, 40},
                            {"COD_CARG", kFixed, 6},
                            {"NOM_CARG", kFixed, 40}},
                           staffFigureFields())},
        // The account grid of the novelty reconciliation; its rows have the reconciliation's shape.
        {&D::CdsCueNoved, "CdsCueNoved", reconciliationFields()},
        {&D::CdsNomxPag, "CdsNomxPag", reconciliationFields()},
        {&D::CdsTotNomi,
         "CdsTotNomi",
         {{"COD_CCOS", kSmall},
          {"NOM_CCOS", kFixed, 90},
          {"COD_TNOM", kSmall},
          {"NOM_TNOM", kFixed, 40},
          {"VAL_ACUM", kFloat}}},
        {&D::CdsComisCdtor,
         "CdsComisCdtor",
         {{"TIP_CTOR", kFixed, 1},
          {"NOM_TCTR", kText, 255},
          {"COD_SBAS", kSmall},
          {"NOM_SERV", kFixed, 128},
          {"VAL_ACUM", kFloat},
          {"VAL_MANT", kFloat},
          {"TOT_EMPL", kInt}}},
        {&D::CdsFacturaEmpr, "CdsFacturaEmpr", invoiceFields()},
        {&D::CdsEmpTemp,
         "CdsEmpTemp",
         {{"NOM_NIVE", kText, 90}, {"NIT_EMPR", kFloat},    {"DIG_VERI", kText, 1},
          {"TIP_DOCU", kText, 1},  {"COD_EMPL", kFloat},    {"APE_EMP1", kText, 25},
          {"APE_EMP2", kText, 25}, {"NOM_EMP1", kText, 15}, {"NOM_EMP2", kText, 15},
          {"SEX_EMPL", kText, 1},  {"FEC_NACI", kDate},     {"NIV_EDUC", kText, 128},
          {"IND_ACTI", kText, 1},  {"COD_ESTA", kSmall},    {"NOM_ESTA", kText, 128},
          {"FEC_INGR", kDate},     {"FEC_VENC", kDate},     {"COD_CARG", kText, 6},
          {"NOM_CARG", kText, 40}, {"TIE_DIAS", kInt},      {"SUE_BASI", kFloat}},
         "COD_ESTA;FEC_INGR"},
        {&D::CdsParafiscales,
         "CdsParafiscales",
         {{"COD_CARG", kText, 6},
          {"NOM_CARG", kText, 40},
          {"CONTEO", kInt},
          {"SUE_BASI", kFloat},
          {"ING_SALU", kFloat},
          {"EPS_APOR", kFloat},
          {"AFP_APOR", kFloat},
          {"ARP_APOR", kFloat},
          {"SEN_APOR", kFloat},
          {"ICB_APOR", kFloat},
          {"CCF_APOR", kFloat}}},
        {&D::CdsGH,
         "CdsGH",
         {{"COD_EMPR", kSmall},
          {"NOM_EMPR", kText, 80},
          {"COD_TNOM", kSmall},
          {"NOM_TNOM", kText, 64},
          {"SEX_EMPL", kText, 1},
          {"EST_CIVI", kText, 1},
          {"CONTEO", kInt},
          {"TOT_EMPL", kInt},
          {"DtfNmbSexo", kText, 32, kCalc},
          {"DtfEstCivi", kText, 32, kCalc},
          {"DtfPorCent", kFloat, 0, kCalc}}},
        {&D::CdsSeguridadSocial,
         "CdsSeguridadSocial",
         {{"COD_EMPR", kSmall},
          {"NOM_EMPR", kText, 80},
          {"ANO_PROC", kInt},
          {"MES_PROC", kInt},
          {"NOM_MESP", kText, 64},
          {"COD_TNOM", kSmall},
          {"NOM_TNOM", kText, 64},
          {"TOT_SALU", kFloat},
          {"TOT_PENS", kFloat},
          {"TOT_PARP", kFloat}}},
        {&D::CdsPrfsGH,
         "CdsPrfsGH",
         {{"COD_EMPR", kSmall},
          {"NOM_EMPR", kText, 80},
          {"ANO_PROC", kInt},
          {"MES_PROC", kInt},
          {"NOM_MESP", kText, 64},
          {"COD_TNOM", kSmall},
          {"NOM_TNOM", kText, 64},
          {"COD_PROV", kSmall},
          {"NOM_PROV", kText, 40},
          {"VAL_LIQU", kFloat}},
         "ANO_PROC;MES_PROC;COD_TNOM;COD_PROV"},
        // The two month and kind names are stored here, copied from the query's calculated fields.
        {&D::CdsCmpTotNomi,
         "CdsCmpTotNomi",
         {{"COD_EMPR", kSmall},
          {"NOM_EMPR", kText, 80},
          {"ANO_PROC", kInt},
          {"MES_PROC", kInt},
          {"COD_TNOM", kSmall},
          {"NOM_TNOM", kText, 40},
          {"TIP_NOMI", kText, 1},
          {"VAL_ACUM", kFloat},
          {"DtfNmbMes", kText, 64},
          {"DtfNmbTnom", kText, 64}},
         "COD_EMPR;ANO_PROC;MES_PROC;COD_TNOM;TIP_NOMI"},
    };
}

} // namespace

QString QueryDecl::providerName() const {
    return QStringLiteral("DtsP") + name.mid(3);
}

const std::vector<QueryDecl>& serverQueryCatalog() {
    static const std::vector<QueryDecl> queries = buildQueries();
    return queries;
}

const std::vector<ResultSetDecl>& resultSetCatalog() {
    static const std::vector<ResultSetDecl> resultSets = buildResultSets();
    return resultSets;
}

QStringList statementLines(const QString& providerName) {
    QFile file(QStringLiteral(":/sql/%1.sql").arg(providerName));
    if (!file.open(QIODevice::ReadOnly))
        throw GeneralError(QStringLiteral("No se encontró la sentencia del proveedor %1.").arg(providerName));
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}
