#include "PayrollFixture.h"

#include "FixtureWriter.h"
#include "GeneralError.h"
#include "Providers.h"
#include "Schema.h"
#include "TestSupport.h"

#include <QDate>
#include <gtest/gtest.h>

namespace reportfixture {

namespace {

using Row = FixtureWriter::Row;
const QVariant kNull;

QVariant d(int y, int m, int day) {
    return QDate(y, m, day);
}

// One payroll movement; NM_PRENO and NM_ACUMU share the shape.
Row movement(int empr, double empl, int conc, const QVariant& date, const char* kind, int tnom, int ccos,
             double value) {
    return {{"COD_EMPR", empr}, {"COD_EMPL", empl}, {"NRO_CONT", 1},
            {"COD_CONC", conc}, {"FEC_ACUM", date}, {"TIP_NOMI", QString::fromLatin1(kind)},
            {"COD_TNOM", tnom}, {"COD_CCOS", ccos}, {"CAN_ACUM", 1.0},
            {"VAL_ACUM", value}};
}

Row ledger(int empr, int year, int month, const char* account, double debit, double credit) {
    return {{"COD_EMPR", empr},  {"ANO_ACUM", year},
            {"MES_ACUM", month}, {"COD_CUEN", QString::fromLatin1(account)},
            {"VAL_DEBI", debit}, {"VAL_CRED", credit}};
}

Row noveltyParameter(int empr, int rmt, const char* para, const QVariant& tipo, const QString& nombre,
                     const QVariant& cuenta, const QVariant& prot) {
    return {{"ACT_USUA", "ADMIN"},
            {"ACT_ESTA", "A"},
            {"COD_EMPR", empr},
            {"RMT_PRTG", rmt},
            {"TIP_PARA", QString::fromLatin1(para)},
            {"TIP_NOVE", tipo},
            {"NOM_NOVE", nombre},
            {"COD_CUEN", cuenta},
            {"COD_PROT", prot}};
}

} // namespace

void writeRows(QSqlDatabase& db) {
    FixtureWriter fx(db);

    // --- organisation and catalogues ---
    fx.insert("GN_CCOST",
              {{"COD_EMPR", 1}, {"COD_CCOS", 10}, {"NOM_CCOS", QStringLiteral("ADMINISTRACIÓN")}});
    fx.insert("GN_CCOST", {{"COD_EMPR", 1}, {"COD_CCOS", 20}, {"NOM_CCOS", QStringLiteral("PRODUCCIÓN")}});
    fx.insert("GN_CCOST", {{"COD_EMPR", 1}, {"COD_CCOS", 30}, {"NOM_CCOS", QStringLiteral("VENTAS")}});
    fx.insert("GN_CCOST", {{"COD_EMPR", 2}, {"COD_CCOS", 10}, {"NOM_CCOS", QStringLiteral("BODEGA")}});

    fx.insert("NM_TNOMI", {{"COD_EMPR", 1}, {"COD_TNOM", 1}, {"NOM_TNOM", "ADMINISTRATIVA"}});
    fx.insert("NM_TNOMI", {{"COD_EMPR", 1}, {"COD_TNOM", 2}, {"NOM_TNOM", "OPERATIVA"}});
    fx.insert("NM_TNOMI", {{"COD_EMPR", 1}, {"COD_TNOM", 3}, {"NOM_TNOM", "APRENDICES"}});
    fx.insert("NM_TNOMI", {{"COD_EMPR", 1}, {"COD_TNOM", 4}, {"NOM_TNOM", "DIRECTIVOS"}});
    fx.insert("NM_TNOMI", {{"COD_EMPR", 2}, {"COD_TNOM", 1}, {"NOM_TNOM", "GENERAL"}});

    // Concepts: I income, E deduction, P a provision (neither).
    const struct {
        int code;
        const char* name;
        const char* type;
    } concepts[] = {{1, "SUELDO", "I"},   {2, "HORAS EXTRA", "I"},     {3, "APORTE SALUD", "E"},
                    {4, "LIBRANZA", "E"}, {5, "PROVISION PRIMA", "P"}, {6, "AUXILIO TRANSPORTE", "I"},
                    {7, "EMBARGO", "E"},  {8, "PRESTAMO EMPRESA", "E"}};
    for (const auto& c : concepts)
        fx.insert("NM_CONCE",
                  {{"COD_EMPR", 1}, {"COD_CONC", c.code}, {"NOM_CONC", c.name}, {"TIP_CONC", c.type}});
    fx.insert("NM_CONCE", {{"COD_EMPR", 2}, {"COD_CONC", 1}, {"NOM_CONC", "SUELDO"}, {"TIP_CONC", "I"}});
    fx.insert("NM_CONCE",
              {{"COD_EMPR", 2}, {"COD_CONC", 8}, {"NOM_CONC", "PRESTAMO EMPRESA"}, {"TIP_CONC", "E"}});

    // Prototypes and their concepts (no concept in two prototypes of company 1):
    // 10 {1 I, 3 E}, 20 {4 E, 7 E}, 30 {5 P}, 40 {2 I, 6 I}, 50 {8 E}.
    const struct {
        int empr, prot;
        const char* name;
        std::vector<int> concepts;
    } prototypes[] = {{1, 10, "NOMINA BASICA", {1, 3}}, {1, 20, "DESCUENTOS", {4, 7}},
                      {1, 30, "PROVISIONES", {5}},      {1, 40, "EXTRAS", {2, 6}},
                      {1, 50, "PRESTAMOS", {8}},        {2, 10, "NOMINA BASICA", {1}},
                      {2, 50, "PRESTAMOS", {8}}};
    for (const auto& p : prototypes) {
        fx.insert("NM_TPROT", {{"COD_EMPR", p.empr}, {"COD_PROT", p.prot}, {"NOM_PROT", p.name}});
        for (int conc : p.concepts)
            fx.insert("NM_PROTO", {{"COD_EMPR", p.empr}, {"COD_PROT", p.prot}, {"COD_CONC", conc}});
    }

    // clang-format off
    // --- pre-payroll (NM_PRENO) ---
    // October 2026, company 1.
    fx.insert("NM_PRENO", movement(1, 101, 1, d(2026, 10, 1), "N", 1, 10, 2000000.00)); // P1: on the start date
    fx.insert("NM_PRENO", movement(1, 101, 3, d(2026, 10, 15), "N", 1, 10, 80000.00));  // P2
    fx.insert("NM_PRENO", movement(1, 102, 5, d(2026, 10, 15), "N", 3, 10, 45000.00));  // P3: provision only
    fx.insert("NM_PRENO", movement(1, 201, 1, d(2026, 10, 15), "N", 2, 20, 900000.00)); // P4: equals A4
    fx.insert("NM_PRENO", movement(1, 301, 1, d(2026, 10, 15), "N", 2, 30, 300000.00)); // P5
    fx.insert("NM_PRENO", movement(1, 301, 4, d(2026, 10, 15), "N", 2, 30, 450000.00)); // P6: more than P5
    // Just outside October.
    fx.insert("NM_PRENO", movement(1, 101, 1, d(2026, 9, 30), "N", 1, 10, 7000000.00)); // P7
    fx.insert("NM_PRENO", movement(1, 101, 1, d(2026, 11, 1), "N", 1, 10, 8000000.00)); // P8
    // October again: class 4 in cost centre 20, the same (type, sum) pair as A5 in closed payroll.
    fx.insert("NM_PRENO", movement(1, 204, 6, d(2026, 10, 10), "N", 4, 20, 250000.00)); // P9
    // January 2027: deductions above income.
    fx.insert("NM_PRENO", movement(1, 101, 1, d(2027, 1, 15), "N", 1, 10, 40000.00));  // P10
    fx.insert("NM_PRENO", movement(1, 301, 1, d(2027, 1, 15), "N", 2, 30, 100000.00)); // P11
    fx.insert("NM_PRENO", movement(1, 301, 4, d(2027, 1, 15), "N", 2, 30, 130000.10)); // P12
    fx.insert("NM_PRENO", movement(1, 302, 4, d(2027, 1, 15), "N", 1, 30, 20000.00));  // P13
    // Another company.
    fx.insert("NM_PRENO", movement(2, 901, 1, d(2026, 10, 15), "N", 1, 10, 5000000.00)); // Q1

    // --- accumulated payroll (NM_ACUMU) ---
    fx.insert("NM_ACUMU", movement(1, 101, 1, d(2026, 10, 31), "N", 1, 10, 1500000.50)); // A1: on the end date
    fx.insert("NM_ACUMU", movement(1, 101, 3, d(2026, 10, 31), "N", 1, 10, 60000.25));   // A2
    fx.insert("NM_ACUMU", movement(1, 101, 5, d(2026, 10, 31), "N", 1, 10, 99999.00));   // A3: provision
    fx.insert("NM_ACUMU", movement(1, 202, 1, d(2026, 10, 15), "N", 2, 20, 900000.00));  // A4: equals P4
    fx.insert("NM_ACUMU", movement(1, 103, 2, d(2026, 10, 20), "N", 4, 10, 250000.00));  // A5: class 4 in CC 10
    fx.insert("NM_ACUMU", movement(1, 302, 4, d(2026, 10, 20), "V", 2, 30, 25000.00));   // A6: kind V
    fx.insert("NM_ACUMU", movement(1, 105, 7, d(2026, 10, 31), "P", 1, 10, 50000.00));   // A7: kind P
    fx.insert("NM_ACUMU", movement(1, 101, 3, d(2027, 1, 31), "N", 1, 10, 10000.00));    // A8
    fx.insert("NM_ACUMU", movement(2, 901, 1, d(2026, 10, 15), "N", 1, 10, 6000000.00)); // Q2
    // --- staff figures (report type 2), October 2026, classes 1 and 2 of company 1 ---
    // Positions; "AUX  " is stored with trailing blanks everywhere it appears.
    for (const auto& [code, name] : std::vector<std::pair<const char*, const char*>>{
             {"C1", "CONDUCTOR"}, {"AB", "ANALISTA"}, {"3AB", "TECNICO"}, {"AUX  ", "AUXILIAR"}, {"VAC", "VIGILANTE"}})
        fx.insert("BI_CARGO", {{"COD_EMPR", 1}, {"COD_CARG", QString::fromLatin1(code)}, {"NOM_CARG", QString::fromLatin1(name)}});
    const auto contract = [&](int empr, double empl, int nro, const char* cargo, int tnom, const char* state,
                              const QVariant& hired, const QVariant& left) {
        fx.insert("NM_CONTR", {{"COD_EMPR", empr}, {"COD_EMPL", empl}, {"NRO_CONT", nro},
                               {"COD_CARG", QString::fromLatin1(cargo)}, {"COD_TNOM", tnom},
                               {"IND_ACTI", QString::fromLatin1(state)}, {"FEC_INGR", hired}, {"FEC_DEJA", left}});
    };
    contract(1, 12, 1, "3AB", 1, "A", d(2020, 1, 1), kNull);      // K1 \ "12"+"3AB" and "123"+"AB" read alike
    contract(1, 123, 1, "AB", 1, "A", d(2020, 1, 1), kNull);      // K2 /  without a separator between them
    contract(1, 500, 1, "C1", 1, "A", d(2020, 1, 1), kNull);      // K3 \ one employee, two positions of one
    contract(1, 500, 2, "AB", 1, "A", d(2021, 1, 1), kNull);      // K4 /  class
    contract(1, 600, 1, "C1", 1, "A", d(2026, 10, 5), kNull);     // K5: hired in the period
    contract(1, 700, 1, "AUX  ", 2, "R", d(2026, 10, 1), d(2026, 10, 31)); // K6: hired and left on the end days
    contract(1, 701, 1, "AUX  ", 2, "I", d(2019, 1, 1), d(2026, 9, 30));   // K7: left the day before
    contract(1, 800, 1, "C1", 2, "A", d(2018, 1, 1), kNull);      // K8
    contract(2, 12, 1, "3AB", 1, "A", d(2020, 1, 1), kNull);      // another company's
    const auto absence = [&](const char* table, const char* from, const char* to, double empl, int nro, int n,
                             const QVariant& start, const QVariant& end) {
        fx.insert(table, {{"COD_EMPR", 1}, {"COD_EMPL", empl}, {"NRO_CONT", nro},
                          {QString::fromLatin1(table) == QLatin1String("NM_VACAC") ? "NRO_VACA" : "NRO_INCA", n},
                          {QString::fromLatin1(from), start}, {QString::fromLatin1(to), end}});
    };
    absence("NM_VACAC", "FEC_DIS1", "FEC_DIS2", 12, 1, 1, d(2026, 9, 20), d(2026, 10, 1));    // ends on the first day
    absence("NM_VACAC", "FEC_DIS1", "FEC_DIS2", 123, 1, 1, d(2026, 9, 1), d(2026, 9, 30));    // ends the day before
    absence("NM_VACAC", "FEC_DIS1", "FEC_DIS2", 500, 2, 1, d(2026, 10, 31), d(2026, 11, 15)); // starts on the last day
    absence("NM_VACAC", "FEC_DIS1", "FEC_DIS2", 500, 1, 1, d(2026, 10, 10), d(2026, 10, 12));
    absence("NM_INCAP", "FEC_DESD", "FEC_HAST", 800, 1, 1, d(2026, 9, 15), d(2026, 12, 31)); // spans the period
    absence("NM_INCAP", "FEC_DESD", "FEC_HAST", 700, 1, 1, d(2026, 10, 5), d(2026, 10, 6));  // contract not active
    // Plan posts: two vacant conductor posts (a position of both classes), a filled one, and a vacant post of
    // a position nobody holds.
    fx.insert("AC_PLANT", {{"COD_EMPR", 1}, {"NRO_PLAZ", 1}, {"COD_CARG", "C1"}, {"COD_EMPL", 0.0}});
    fx.insert("AC_PLANT", {{"COD_EMPR", 1}, {"NRO_PLAZ", 2}, {"COD_CARG", "C1"}, {"COD_EMPL", 0.0}});
    fx.insert("AC_PLANT", {{"COD_EMPR", 1}, {"NRO_PLAZ", 3}, {"COD_CARG", "AB"}, {"COD_EMPL", 12345.0}});
    fx.insert("AC_PLANT", {{"COD_EMPR", 1}, {"NRO_PLAZ", 4}, {"COD_CARG", "VAC"}, {"COD_EMPL", 0.0}});

    // --- levies (report type 8), October 2026 ---
    // Company 2 configures positions 101 and 102, company 3 position 201; company 1's "PF" row names no
    // position. Levy providers: SENA 10, ICBF 20 (company 3: also 10), family fund 30; 40 is no levy.
    for (const auto& [empr, code, name] : std::vector<std::tuple<int, const char*, const char*>>{
             {2, "101", "OPERARIO"}, {2, "102", "SUPERVISOR"}, {3, "201", "ANALISTA"}})
        fx.insert("BI_CARGO", {{"COD_EMPR", empr}, {"COD_CARG", QString::fromLatin1(code)}, {"NOM_CARG", QString::fromLatin1(name)}});
    fx.insert("NM_PRTGE", noveltyParameter(2, 11, "PF", kNull, QStringLiteral("OPERARIOS"), kNull, kNull) +
                              Row{{"COD_TNOM", 101}});
    fx.insert("NM_PRTGE", noveltyParameter(2, 12, "PF", kNull, QStringLiteral("SUPERVISORES"), kNull, kNull) +
                              Row{{"COD_TNOM", 102}});
    fx.insert("NM_PRTGE", noveltyParameter(3, 13, "PF", kNull, QStringLiteral("ANALISTAS"), kNull, kNull) +
                              Row{{"COD_TNOM", 201}});
    for (int position : {501, 502}) // company 5: two positions nobody holds
        fx.insert("NM_PRTGE", noveltyParameter(5, position, "PF", kNull, QString(), kNull, kNull) + Row{{"COD_TNOM", position}});
    fx.insert("NM_PARIN", {{"COD_EMPR", 2}, {"COD_SENA", 10}, {"COD_ICBF", 20}, {"COD_CDCF", 30}});
    fx.insert("NM_PARIN", {{"COD_EMPR", 3}, {"COD_SENA", 10}, {"COD_ICBF", 10}, {"COD_CDCF", 30}});
    for (int empr : {2, 3})
        for (const auto& [prov, name] : std::vector<std::pair<int, const char*>>{
                 {10, "SENA"}, {20, "ICBF"}, {30, "COMFAMILIAR"}, {40, "OTRA ENTIDAD"}})
            fx.insert("NM_BEPRO", {{"COD_EMPR", empr}, {"COD_PROV", prov}, {"NOM_PROV", QString::fromLatin1(name)}});
    const auto worker = [&](int empr, double empl, const char* cargo, const char* state, const QVariant& left,
                            double salary) {
        fx.insert("NM_CONTR", {{"COD_EMPR", empr}, {"COD_EMPL", empl}, {"NRO_CONT", 1},
                               {"COD_CARG", QString::fromLatin1(cargo)}, {"COD_TNOM", 1},
                               {"IND_ACTI", QString::fromLatin1(state)}, {"FEC_INGR", d(2020, 1, 1)},
                               {"FEC_DEJA", left}, {"SUE_BASI", salary}});
    };
    worker(2, 2001, "101", "A", kNull, 1000000);           // E1
    worker(2, 2002, "101", "A", kNull, 2000000);           // E2
    worker(2, 2003, "102", "I", d(2026, 10, 15), 4000000); // E3: left after the start
    worker(2, 2004, "102", "I", d(2026, 9, 30), 9000000);  // E4: left before it
    worker(2, 2005, "102", "R", kNull, 8000000);           // E5: neither active nor inactive
    worker(3, 3001, "201", "A", kNull, 3000000);           // E6
    const auto settlement = [&](int empr, double empl, const QVariant& day, double base, double epsEmpl,
                                double epsPatr, double afpEmpl, double afpPatr, double arp) {
        fx.insert("NM_AUTOL", {{"COD_EMPR", empr}, {"COD_EMPL", empl}, {"NRO_CONT", 1}, {"FEC_PROC", day},
                               {"ING_SALU", base}, {"CSA_EMPL", epsEmpl}, {"CSA_PATR", epsPatr},
                               {"COP_EMPL", afpEmpl}, {"COP_PATR", afpPatr}, {"CAR_PATR", arp}});
    };
    settlement(2, 2001, d(2026, 10, 31), 1000000, 40000, 85000, 40000, 120000, 5220);
    settlement(2, 2002, d(2026, 10, 31), 2000000, 80000, 170000, 80000, 240000, 10440);
    settlement(2, 2003, d(2026, 10, 15), 500000, 20000, 42500, 20000, 60000, 2610);
    settlement(2, 2004, d(2026, 10, 31), 999, 999, 999, 999, 999, 999);       // E4 excluded
    settlement(2, 2001, d(2026, 11, 1), 777, 777, 777, 777, 777, 777);        // after the period
    settlement(3, 3001, d(2026, 10, 10), 3000000, 120000, 255000, 120000, 360000, 15660);
    const auto levy = [&](int empr, double empl, int prov, const QVariant& day, double value) {
        fx.insert("NM_PROPA", {{"COD_EMPR", empr}, {"COD_EMPL", empl}, {"NRO_CONT", 1}, {"COD_PROV", prov},
                               {"FEC_LIQU", day}, {"VAL_LIQU", value}});
    };
    levy(2, 2001, 10, d(2026, 10, 31), 20000);
    levy(2, 2001, 20, d(2026, 10, 31), 30000);
    levy(2, 2001, 30, d(2026, 10, 31), 40000);
    levy(2, 2001, 40, d(2026, 10, 31), 99999); // no levy provider of the company
    levy(2, 2002, 10, d(2026, 10, 31), 40000);
    levy(2, 2002, 30, d(2026, 10, 31), 80000);
    levy(2, 2003, 20, d(2026, 10, 15), 15000);
    levy(3, 3001, 10, d(2026, 10, 10), 25000); // SENA and ICBF share the code: SENA takes it
    levy(3, 3001, 30, d(2026, 10, 10), 90000);

    // --- driver commissions (report type 5), March 2027, company 1: drivers 900..905 ---
    // Process group 40 is chosen (prototype 40: concepts 2 and 6, both income); 905 is in group 10.
    for (const auto& [serv, name] : std::vector<std::pair<int, const char*>>{{1, "RUTA NORTE"}, {2, "RUTA SUR"}, {3, "ESCOLAR"}})
        fx.insert("NM_SERVI", {{"COD_EMPR", 1}, {"COD_SERV", serv}, {"NOM_SERV", QString::fromLatin1(name)}});
    for (const auto& [empl, tipo, serv, gpro] : std::vector<std::tuple<double, const char*, int, int>>{
             {900, "1", 1, 40}, {901, "1", 1, 40}, {902, "2", 2, 40}, {903, "7", 3, 40}, {904, "X", 3, 40}, {905, "1", 1, 10}}) {
        fx.insert("NM_CDTOR", {{"COD_EMPR", 1}, {"COD_CTOR", empl}, {"TIP_CTOR", QString::fromLatin1(tipo)}, {"COD_SBAS", serv}});
        fx.insert("NM_CONTR", {{"COD_EMPR", 1}, {"COD_EMPL", empl}, {"NRO_CONT", 1}, {"COD_GPRO", gpro}, {"IND_ACTI", "A"}});
    }
    fx.insert("NM_PRENO", movement(1, 900, 2, d(2027, 3, 15), "N", 1, 10, 100000)); // C1 \ one key,
    fx.insert("NM_ACUMU", movement(1, 900, 2, d(2027, 3, 15), "N", 1, 10, 100000)); // C2  | two drivers,
    fx.insert("NM_PRENO", movement(1, 901, 6, d(2027, 3, 20), "N", 1, 10, 50000));  // C3 /  both sources
    fx.insert("NM_PRENO", movement(1, 902, 2, d(2027, 3, 10), "N", 1, 10, 70000));  // C4 \ the same figures in
    fx.insert("NM_ACUMU", movement(1, 902, 2, d(2027, 3, 10), "N", 1, 10, 70000));  // C5 /  both sources
    fx.insert("NM_PRENO", movement(1, 902, 1, d(2027, 3, 10), "N", 1, 10, 11111));  // concept 1: not prototype 40's
    fx.insert("NM_PRENO", movement(1, 904, 6, d(2027, 3, 12), "N", 1, 10, 5000));   // C6: type "X"
    fx.insert("NM_PRENO", movement(1, 905, 2, d(2027, 3, 12), "N", 1, 10, 777));    // process group 10
    const auto liquidation = [&](int nro, double empl, const QVariant& day, const char* kind, double value) {
        fx.insert("NM_COMLI", {{"COD_EMPR", 1}, {"NRO_LIQU", nro}, {"COD_EMPL", empl}, {"NRO_CONT", 1},
                               {"FEC_COMI", day}, {"TIP_COMI", QString::fromLatin1(kind)}, {"VAL_LIQU", value}});
    };
    liquidation(1, 900, d(2027, 3, 31), "N", 30000);   // M1
    liquidation(2, 903, d(2027, 3, 10), "N", 20000);   // M2: maintenance only, type 7
    liquidation(3, 900, d(2027, 3, 31), "A", 999);     // an advance
    liquidation(4, 900, d(2027, 4, 1), "N", 888);      // after the period

    // --- user-company invoice (report type 6), May 2027, company 1: employees 1100 and 1101 ---
    fx.insert("GN_NIVEL", {{"COD_EMPR", 1}, {"COD_ARBO", 1}, {"IDE_ARBO", 1}, {"COD_NIVE", 1}, {"NUM_NIVE", 1}, {"NOM_NIVE", "OPERACIONES"}});
    fx.insert("NM_CENTP", {{"COD_EMPR", 1}, {"COD_CENP", 1}, {"NOM_CENP", "SEDE NORTE"}, {"TAR_ATEP", 0.522}});
    for (const auto& [empl, nom, ape] : std::vector<std::tuple<double, const char*, const char*>>{{1100, "ANA", "PEREZ"}, {1101, "LUIS", "GOMEZ"}})
        fx.insert("BI_EMPLE", {{"COD_EMPR", 1}, {"COD_EMPL", empl}, {"NOM_EMPL", nom}, {"APE_EMPL", ape}});
    for (const auto& [empl, nro, ccos, cargo] : std::vector<std::tuple<double, int, int, const char*>>{
             {1100, 1, 10, "C1"}, {1100, 2, 20, "AB"}, {1101, 1, 10, "C1"}})
        fx.insert("NM_CONTR", {{"COD_EMPR", 1}, {"COD_EMPL", empl}, {"NRO_CONT", nro}, {"COD_CCOS", ccos}, {"COD_CARG", cargo},
                               {"COD_ARBO", 1}, {"IDE_ARBO", 1}, {"COD_NIV1", 1}, {"COD_CENP", 1}, {"FEC_INGR", d(2020, 1, 1)}});
    const auto paid = [&](const char* table, double empl, int nro, int conc, const QVariant& day, const char* kind, double can, double val) {
        Row row = movement(1, empl, conc, day, kind, 1, 10, val);
        for (auto& [name, value] : row)
            if (name == QLatin1String("NRO_CONT"))
                value = nro;
            else if (name == QLatin1String("CAN_ACUM"))
                value = can;
        fx.insert(table, row);
    };
    paid("NM_PRENO", 1100, 1, 2, d(2027, 5, 15), "N", 1, 100000); // F1 \ the same figures in both sources
    paid("NM_ACUMU", 1100, 1, 2, d(2027, 5, 15), "N", 1, 100000); // F2 /
    paid("NM_PRENO", 1100, 2, 2, d(2027, 5, 20), "N", 2, 50000);  // F3: the other contract, same concept
    paid("NM_PRENO", 1100, 1, 6, d(2027, 5, 10), "A", 1, 7000);   // kind A, not chosen
    paid("NM_PRENO", 1100, 1, 1, d(2027, 5, 10), "N", 1, 8000);   // concept 1, not prototype 40's
    paid("NM_PRENO", 1101, 1, 6, d(2027, 5, 31), "N", 1, 30000);  // F4: on the last day

    // --- temporary staff (report type 7), third quarter of 2027, staffing company 4 ---
    // User companies are recognised by name: 10 by the organisation unit and selection group "LOGISTICA DEL
    // NORTE" (Medellín, Antioquia), 11 by "ACME INDUSTRIAL" (a department, no municipality), 12 by "SIN
    // TERRITORIO" (no department).
    for (const auto& [empr, name, nit, dig, dpto, mpio] : std::vector<std::tuple<int, const char*, double, const char*, QVariant, QVariant>>{
             {10, "Logistica del Norte S.A.S.", 800100200, "7", 5, 1}, {11, "ACME INDUSTRIAL LTDA", 900300400, "3", 8, kNull},
             {12, "SIN TERRITORIO SAS", 700500600, "1", kNull, kNull}}) {
        fx.insert("GN_EMPRE", {{"COD_EMPR", empr}, {"NOM_EMPR", QString::fromLatin1(name)}, {"NIT_EMPR", nit}});
        fx.insert("NM_PARSS", {{"COD_EMPR", empr}, {"DIG_VERI", QString::fromLatin1(dig)}, {"COD_PAIS", 170}, {"COD_DPTO", dpto}, {"COD_MPIO", mpio}});
    }
    for (const auto& [dpto, mpio, name] : std::vector<std::tuple<int, int, const char*>>{{5, 0, "ANTIOQUIA"}, {5, 1, "MEDELLIN"}, {8, 0, "ATLANTICO"}})
        fx.insert("GN_DIVIP", {{"COD_PAIS", 170}, {"COD_DPTO", dpto}, {"COD_MPIO", mpio}, {"COD_LOCA", 0}, {"NOM_MPIO", QString::fromLatin1(name)}});
    fx.insert("GN_DIVIP", {{"COD_PAIS", 170}, {"COD_DPTO", 5}, {"COD_MPIO", 1}, {"COD_LOCA", 3}, {"NOM_MPIO", "UN CORREGIMIENTO"}});
    fx.insert("NM_PARAM", {{"COD_EMPR", 4}, {"SAL_MINL", 1300000.0}});
    fx.insert("BI_CARGO", {{"COD_EMPR", 4}, {"COD_CARG", "OPE"}, {"NOM_CARG", "OPERARIO"}});
    fx.insert("BI_CARGO", {{"COD_EMPR", 4}, {"COD_CARG", "AUX"}, {"NOM_CARG", "AUXILIAR"}});
    for (const auto& [nive, name] : std::vector<std::pair<int, const char*>>{{1, "logistica del norte"}, {2, "ACME INDUSTRIAL"}, {3, "SIN EMPRESA"}})
        fx.insert("GN_NIVEL", {{"COD_EMPR", 4}, {"COD_ARBO", 1}, {"IDE_ARBO", 1}, {"COD_NIVE", nive}, {"NUM_NIVE", 1}, {"NOM_NIVE", QString::fromLatin1(name)}});
    const struct {
        double empl;
        const char *docu, *ape, *nom, *grade, *kind, *acti;
        int nivel;
        QVariant ingr, venc, deja, sueldo;
    } temps[] = {
        {4001, "C", "  GARCIA   LOPEZ ", "ANA MARIA JOSE", "03", "R", "A", 1, d(2027, 1, 10), d(2027, 12, 31), kNull, 0.0},       // current
        {4002, "E", "PEREZ", "LUIS", "08", "B", "A", 1, QDateTime(QDate(2027, 9, 30), QTime(14, 30)), kNull, kNull, 2000000.0}, // starts, open-ended
        {4003, "X", "DIAZ", "EVA", "12", "B", "A", 2, d(2026, 2, 1), QDateTime(QDate(2027, 9, 30), QTime(18, 0)), kNull, 1500000.0}, // ends
        {4004, "T", "ROJAS", "JUAN", "", "T", "I", 2, d(2027, 3, 1), kNull, d(2027, 7, 15), 1400000.0},                        // left in the period
        {4005, nullptr, "MORA", "IRIS", nullptr, "G", "A", 1, d(2026, 5, 1), d(2027, 6, 30), kNull, 1600000.0}, // expired before: no state
        {4006, "C", "LEON", "SARA", "05", "B", "I", 1, d(2027, 1, 1), kNull, d(2027, 6, 30), 1000000.0},                       // left before the period
        {4007, "C", "VEGA", "RAUL", "05", "B", "A", 1, d(2027, 10, 1), kNull, kNull, 1000000.0},                               // hired after it
        {4008, "C", "CANO", "NORA", "05", "B", "A", 3, d(2027, 8, 1), kNull, kNull, 1000000.0},                                // no user company
        {4009, "C", "SILVA", "OMAR", nullptr, "R", "A", 1, d(2025, 1, 1), d(2028, 1, 1), kNull, 3000000.0},                    // current, hired first
    };
    for (const auto& t : temps) {
        const auto text = [](const char* v) { return v ? QVariant(QString::fromLatin1(v)) : kNull; };
        fx.insert("BI_EMPLE", {{"COD_EMPR", 4}, {"COD_EMPL", t.empl}, {"APE_EMPL", t.ape}, {"NOM_EMPL", t.nom}, {"TIP_DOCU", text(t.docu)},
                               {"SEX_EMPL", "F"}, {"FEC_NACI", d(1990, 4, 2)}, {"GRA_EDUC", text(t.grade)}, {"FOR_ACAD", t.kind}});
        fx.insert("NM_CONTR", {{"COD_EMPR", 4}, {"COD_EMPL", t.empl}, {"NRO_CONT", 1}, {"COD_CARG", t.nivel == 2 ? "AUX" : "OPE"},
                               {"IND_ACTI", t.acti}, {"FEC_INGR", t.ingr}, {"FEC_VENC", t.venc}, {"FEC_DEJA", t.deja}, {"SUE_BASI", t.sueldo},
                               {"COD_ARBO", 1}, {"IDE_ARBO", 1}, {"COD_NIV1", t.nivel}});
    }
    for (const auto& [grse, desc] : std::vector<std::pair<const char*, const char*>>{{"GL", "LOGISTICA DEL NORTE"}, {"GA", "ACME INDUSTRIAL"}, {"GS", "SIN TERRITORIO"}})
        fx.insert("SL_GRSEL", {{"COD_EMPR", 4}, {"COD_GRSE", grse}, {"DES_GRSE", desc}});
    const struct {
        const char *grse, *reqs, *carp;
        QVariant day;
        int plaz, vacu;
        double prop;
    } temporaryRequisitions[] = {
        {"GL", "Q2", "OPE", d(2027, 7, 5), 2, 2, 0.0},     // Q1 and Q2 differ only in their number: two lines
        {"GL", "Q1", "OPE", d(2027, 7, 5), 3, 1, 0.0},     // the minimum salary
        {"GA", "Q3", "AUX", QDateTime(QDate(2027, 9, 30), QTime(16, 0)), 1, 0, 1500000.0}, // no requirements
        {"GS", "Q4", "AUX", d(2027, 8, 1), 1, 1, 1400000.0},
        {"GL", "Q5", "OPE", d(2027, 6, 30), 9, 9, 9.0},    // before the period
    };
    for (const auto& r : temporaryRequisitions)
        fx.insert("SL_REQPE", {{"COD_EMPR", 4}, {"COD_GRSE", r.grse}, {"COD_REQS", r.reqs}, {"COD_CARP", r.carp}, {"FEC_SOLI", r.day},
                               {"NRO_PLAZ", r.plaz}, {"NRO_VACU", r.vacu}, {"SUE_PROP", r.prop}});
    fx.insert("AC_REQUI", {{"COD_EMPR", 4}, {"TIP_REGI", "E"}, {"TIP_APLI", "C"}, {"COD_REQU", 1}, {"NOM_REQU", "LICENCIAS"}});
    for (const auto& [espe, name] : std::vector<std::pair<int, const char*>>{{1, "CONDUCCION B1"}, {2, "CONDUCCION C2"}})
        fx.insert("AC_ESPEC", {{"COD_EMPR", 4}, {"TIP_REGI", "E"}, {"TIP_APLI", "C"}, {"COD_REQU", 1}, {"COD_ESPE", espe}, {"NOM_ESPE", name}});
    for (const auto& [reqs, espe] : std::vector<std::pair<const char*, int>>{{"Q1", 2}, {"Q1", 1}, {"Q2", 2}})
        fx.insert("SL_REQPF", {{"COD_EMPR", 4}, {"COD_GRSE", "GL"}, {"COD_REQS", reqs}, {"COD_REGI", "E"}, {"TIP_APLI", "C"}, {"COD_REQU", 1}, {"COD_ESPE", espe}});
    for (const auto& [grse, reqs, carp, aspi, sele, gere] : std::vector<std::tuple<const char*, const char*, const char*, double, const char*, const char*>>{
             {"GA", "Q3", "AUX", 5003, "N", "N"}, {"GL", "Q1", "OPE", 5001, "N", "N"}, {"GL", "Q1", "OPE", 5002, "S", "N"}, {"GL", "Q5", "OPE", 5004, "N", "N"}})
        fx.insert("SL_INCOA", {{"COD_EMPR", 4}, {"COD_GRSE", grse}, {"COD_REQS", reqs}, {"COD_CARP", carp}, {"COD_ASPI", aspi},
                               {"EST_SELE", sele}, {"DES_GERE", gere}});
    for (const auto& [aspi, docu, ape, nom, grade] : std::vector<std::tuple<double, const char*, const char*, const char*, const char*>>{
             {5001, "C", "RUIZ DIAZ", "PEDRO", "11"}, {5002, "C", "NO", "VA", "01"}, {5003, "R", "SOTO", "LUZ  ELENA", "07"}, {5004, "C", "NO", "VA", "01"}})
        fx.insert("RL_EMPLE", {{"COD_EMPR", 4}, {"COD_EMPL", aspi}, {"TIP_DOCU", docu}, {"APE_EMPL", ape}, {"NOM_EMPL", nom},
                               {"FEC_NACI", d(2000, 1, 31)}, {"SEX_EMPL", "M"}, {"GRA_EDUC", grade}});

    // --- human management (report type 10): companies 7 and 8, February 2028 and February 2027 ---
    // Class 1 is named differently in each company; class 4 of company 7 is in no "GH" row.
    fx.insert("GN_EMPRE", {{"COD_EMPR", 7}, {"NOM_EMPR", "ALFA SERVICIOS S.A."}, {"NIT_EMPR", 811000111.0}});
    fx.insert("GN_EMPRE", {{"COD_EMPR", 8}, {"NOM_EMPR", "BETA LOGISTICA LTDA"}, {"NIT_EMPR", 822000222.0}});
    for (const auto& [empr, tnom, name, gh] : std::vector<std::tuple<int, int, const char*, bool>>{
             {7, 1, "QUINCENAL", true}, {7, 2, "MENSUAL", true}, {7, 4, "PENSIONADOS", false}, {8, 1, "SEMANAL", true}, {8, 3, "DIRECTIVOS", true}}) {
        fx.insert("NM_TNOMI", {{"COD_EMPR", empr}, {"COD_TNOM", tnom}, {"NOM_TNOM", name}});
        if (gh)
            fx.insert("NM_PRTGE", {{"COD_EMPR", empr}, {"RMT_PRTG", 100 + tnom}, {"TIP_PARA", "GH"}, {"COD_TNOM", tnom}});
    }
    // Headcount: 7005 is inactive, 7006 in a class outside "GH"; 7004 (no civil status) and 7008 (a blank
    // one) are one key of the result set; 7007's status is no known letter.
    for (const auto& [empr, empl, sex, civil, tnom, acti] : std::vector<std::tuple<int, double, const char*, QVariant, int, const char*>>{
             {7, 7001, "F", "S", 1, "A"}, {7, 7002, "F", "S", 1, "A"}, {7, 7003, "M", "C", 1, "A"}, {7, 7004, "M", kNull, 2, "A"},
             {7, 7005, "F", "S", 2, "I"}, {7, 7006, "M", "S", 4, "A"}, {7, 7007, "F", "X", 2, "A"}, {7, 7008, "M", "", 2, "A"},
             {8, 8001, "M", "U", 1, "A"}, {8, 8002, "F", "V", 3, "A"}}) {
        fx.insert("BI_EMPLE", {{"COD_EMPR", empr}, {"COD_EMPL", empl}, {"SEX_EMPL", sex}, {"EST_CIVI", civil}});
        fx.insert("NM_CONTR", {{"COD_EMPR", empr}, {"COD_EMPL", empl}, {"NRO_CONT", 1}, {"COD_TNOM", tnom}, {"IND_ACTI", acti}});
    }
    for (int empr : {7, 8})
        for (const auto& [conc, name, type] : std::vector<std::tuple<int, const char*, const char*>>{{1, "SUELDO", "I"}, {2, "DESCUENTO", "E"}, {3, "PROVISION", "P"}})
            fx.insert("NM_CONCE", {{"COD_EMPR", empr}, {"COD_CONC", conc}, {"NOM_CONC", name}, {"TIP_CONC", type}});
    const QVariant lastDay2028 = QDateTime(QDate(2028, 2, 29), QTime(15, 0)), lastDay2027 = QDateTime(QDate(2027, 2, 28), QTime(10, 0));
    // Payroll cost. Company 7, February 2028, class 1, kind N: 1,000,000 - 200,000 (+ a provision, nothing).
    fx.insert("NM_ACUMU", movement(7, 7001, 1, lastDay2028, "N", 1, 10, 1000000));
    fx.insert("NM_ACUMU", movement(7, 7002, 2, d(2028, 2, 15), "N", 1, 10, 200000));
    fx.insert("NM_ACUMU", movement(7, 7003, 3, d(2028, 2, 10), "N", 1, 10, 50000));
    fx.insert("NM_ACUMU", movement(7, 7001, 1, d(2028, 2, 10), "V", 1, 10, 300000)); // kind V
    fx.insert("NM_ACUMU", movement(7, 7006, 1, d(2028, 2, 10), "N", 4, 10, 400000)); // a class outside "GH"
    fx.insert("NM_ACUMU", movement(7, 7001, 1, lastDay2027, "N", 1, 10, 900000));     // the year before
    fx.insert("NM_ACUMU", movement(7, 7001, 1, d(2027, 3, 1), "N", 1, 10, 1));        // outside both windows
    fx.insert("NM_ACUMU", movement(7, 7001, 1, d(2027, 1, 31), "N", 1, 10, 2));
    fx.insert("NM_ACUMU", movement(7, 7001, 1, d(2028, 1, 31), "N", 1, 10, 3));
    fx.insert("NM_ACUMU", movement(8, 8001, 1, d(2028, 2, 5), "N", 1, 10, 700000));
    fx.insert("NM_ACUMU", movement(8, 8001, 2, d(2027, 2, 5), "N", 1, 10, 100000)); // a deduction alone: negative
    // Contributions (EPS = CSA_EMPL + CSA_PATR, AFP = COP_EMPL + COP_PATR, ARP = CAR_PATR).
    for (const auto& [empr, empl, day, csaE, csaP, copE, copP, car] : std::vector<std::tuple<int, double, QVariant, double, double, double, double, double>>{
             {7, 7001, lastDay2028, 10, 20, 30, 40, 5}, {7, 7004, d(2028, 2, 15), 1, 2, 3, 4, 0.5}, {7, 7006, d(2028, 2, 15), 100, 100, 100, 100, 100},
             {7, 7001, lastDay2027, 7, 8, 9, 10, 1}, {8, 8002, d(2027, 2, 1), 11, 12, 13, 14, 2}, {7, 7002, d(2027, 3, 1), 99, 99, 99, 99, 99}})
        fx.insert("NM_AUTOL", {{"COD_EMPR", empr}, {"COD_EMPL", empl}, {"NRO_CONT", 1}, {"FEC_PROC", day}, {"CSA_EMPL", csaE},
                               {"CSA_PATR", csaP}, {"COP_EMPL", copE}, {"COP_PATR", copP}, {"CAR_PATR", car}});
    // Levies: entity 30 is not active.
    for (const auto& [empr, prov, name, ind] : std::vector<std::tuple<int, int, const char*, const char*>>{
             {7, 10, "SENA", "A"}, {7, 20, "ICBF", "A"}, {7, 30, "INACTIVA", "I"}, {8, 10, "CAJA BETA", "A"}})
        fx.insert("NM_BEPRO", {{"COD_EMPR", empr}, {"COD_PROV", prov}, {"NOM_PROV", name}, {"IND_PROV", ind}});
    levy(7, 7001, 10, d(2028, 2, 10), 1000);
    levy(7, 7002, 10, d(2028, 2, 11), 500);
    levy(7, 7001, 20, d(2028, 2, 10), 700);
    levy(7, 7001, 30, d(2028, 2, 10), 999);
    levy(7, 7001, 10, d(2027, 2, 10), 800);
    levy(8, 8001, 10, d(2028, 2, 12), 600);

    // --- requisitions (report type 1), October 2026, company 1 ---
    const auto requisition = [&](const char* reqs, const char* carp, int ccos, const QVariant& day) {
        fx.insert("SL_REQPE", {{"COD_EMPR", 1}, {"COD_GRSE", "G1"}, {"COD_REQS", QString::fromLatin1(reqs)},
                               {"COD_CARP", QString::fromLatin1(carp)}, {"COD_CCOS", ccos}, {"FEC_SOLI", day}});
    };
    requisition("R1", "C1", 10, d(2026, 10, 1));  // on the first day
    requisition("R2", "C1", 20, d(2026, 10, 31)); // the same position in another cost centre, on the last day
    requisition("R3", "AB", 10, d(2026, 9, 30));  // before the period
    requisition("R4", "AB", 10, d(2026, 10, 15)); // only a pair outside the table
    const auto applicant = [&](const char* reqs, const char* carp, double aspi, const char* state, const char* decision) {
        fx.insert("SL_INCOA", {{"COD_EMPR", 1}, {"COD_GRSE", "G1"}, {"COD_REQS", QString::fromLatin1(reqs)},
                               {"COD_CARP", QString::fromLatin1(carp)}, {"COD_ASPI", aspi},
                               {"EST_SELE", QString::fromLatin1(state)}, {"DES_GERE", QString::fromLatin1(decision)}});
    };
    for (double aspi : {1001, 1002})
        applicant("R1", "C1", aspi, "E", "E");
    for (double aspi : {1003, 1004, 1005, 1006, 1007})
        applicant("R1", "C1", aspi, "S", "E");
    applicant("R1", "C1", 1008, "N", "N");
    applicant("R1", "C1", 1009, "E", "S");
    applicant("R1", "C1", 1010, "S", "S");
    applicant("R2", "C1", 1005, "S", "E");
    applicant("R2", "C1", 1011, "N", "N");
    applicant("R3", "AB", 1012, "E", "E");
    applicant("R4", "AB", 1013, "N", "E");
    // Contracts of the hired applicants: 1005's is in cost centre 20, 1006's type is no known one, 1007's is
    // not active.
    for (const auto& [empl, ccos, type, state] : std::vector<std::tuple<double, int, const char*, const char*>>{
             {1003, 10, "F", "A"}, {1004, 10, "I", "A"}, {1005, 20, "S", "A"}, {1006, 10, "X", "A"}, {1007, 10, "F", "R"}})
        fx.insert("NM_CONTR", {{"COD_EMPR", 1}, {"COD_EMPL", empl}, {"NRO_CONT", 1}, {"COD_CCOS", ccos},
                               {"TIP_CONT", QString::fromLatin1(type)}, {"IND_ACTI", QString::fromLatin1(state)}});


    // --- ledger ---
    const struct {
        int empr;
        const char* code;
        const char* name;
        const char* nature;
    } accounts[] = {{1, "250505", "NOMINA POR PAGAR", "C"},  {1, "137005", "PRESTAMOS A EMPLEADOS", "D"},
                    {1, "237005", "APORTES EPS", "C"},       {1, "237006", "APORTES ARP", "C"},
                    {1, "238030", "OTRAS RETENCIONES", "C"}, {1, "259595", "SIN MOVIMIENTO", "C"},
                    {2, "250505", "NOMINA POR PAGAR", "C"}};
    for (const auto& a : accounts)
        fx.insert("CT_CUENT",
                  {{"COD_EMPR", a.empr}, {"COD_CUEN", a.code}, {"NOM_CUEN", a.name}, {"NAT_CUEN", a.nature}});
    // 250505 (credit nature): October 2026 = (1,000,000 + 500,000 + 2,000,000) - 200,000 = 3,300,000.00;
    // December 2026 adds months 11 and 12: 3,300,000 + 9,999 + 123,456.75 = 3,433,455.75.
    fx.insert("CT_SALDO", ledger(1, 2026, 0, "250505", 0, 1000000.00));
    fx.insert("CT_SALDO", ledger(1, 2026, 9, "250505", 200000.00, 500000.00));
    fx.insert("CT_SALDO", ledger(1, 2026, 10, "250505", 0, 2000000.00));
    fx.insert("CT_SALDO", ledger(1, 2026, 11, "250505", 0, 9999.00));
    fx.insert("CT_SALDO", ledger(1, 2026, 12, "250505", 0, 123456.75));
    fx.insert("CT_SALDO", ledger(1, 2025, 10, "250505", 0, 77777.00));   // another year
    fx.insert("CT_SALDO", ledger(2, 2026, 10, "250505", 0, 5555555.00)); // another company
    // 137005 (debit nature): October = (1,000,000 + 600,000) - 100,000 = 1,500,000.00; December 1,510,000.00.
    fx.insert("CT_SALDO", ledger(1, 2026, 0, "137005", 1000000.00, 0));
    fx.insert("CT_SALDO", ledger(1, 2026, 10, "137005", 600000.00, 100000.00));
    fx.insert("CT_SALDO", ledger(1, 2026, 12, "137005", 10000.00, 0));
    // 237005: 200,000 - 49,999.75 = 150,000.25. 238030: 80,000.00. 237006 and 259595: no movements.
    fx.insert("CT_SALDO", ledger(1, 2026, 10, "237005", 49999.75, 200000.00));
    fx.insert("CT_SALDO", ledger(1, 2026, 10, "238030", 0, 80000.00));

    // --- novelties with a balance (PRP, prototype 50 = concept 8) ---
    const struct {
        int empr;
        double empl;
        int nro, conc;
        QVariant paid;
        double balance;
    } novelties[] = {{1, 101, 1, 8, d(2026, 3, 1), 1200000.00},  // before the period: counts
                     {1, 102, 2, 8, d(2026, 10, 31), 350000.50}, // on the end date
                     {1, 103, 3, 8, d(2026, 11, 1), 999999.00},  // after October's end
                     {1, 104, 4, 4, d(2026, 10, 10), 55555.00},  // concept outside prototype 50
                     {2, 901, 1, 8, d(2026, 10, 1), 444444.00}}; // another company
    for (const auto& n : novelties)
        fx.insert("NM_NOVED", {{"COD_EMPR", n.empr},
                               {"COD_EMPL", n.empl},
                               {"NRO_NOVE", n.nro},
                               {"NRO_CONT", 1},
                               {"COD_CONC", n.conc},
                               {"FEC_PAGO", n.paid},
                               {"VAL_NOVE", 2000000.00},
                               {"SAL_NOVE", n.balance}});

    // --- contribution settlement differences (EPS 120,000 + 30,000.25 = 150,000.25; ARP 40,000.00) ---
    const struct {
        int empr;
        const char* tipo;
        const char* enti;
        int nro;
        QVariant date;
        double diff;
    } settlements[] = {{1, "EPS", "EPS001", 1, d(2026, 10, 5), 120000.00},
                       {1, "EPS", "EPS002", 2, d(2025, 1, 5), 30000.25},
                       {1, "EPS", "EPS001", 3, d(2026, 10, 6), -50000.00},
                       {1, "EPS", "EPS002", 4, d(2026, 10, 7), 0.0},
                       {1, "ARP", "ARP001", 1, d(2026, 10, 5), 40000.00},
                       {1, "ARP", "ARP001", 2, d(2026, 10, 5), -10000.00},
                       {1, "AFP", "AFP001", 1, d(2026, 10, 5), 77000.00},
                       {2, "EPS", "EPS001", 1, d(2026, 10, 5), 88000.00}};
    for (const auto& s : settlements)
        fx.insert("NM_CINCA", {{"COD_EMPR", s.empr},
                               {"TIP_ENTI", s.tipo},
                               {"COD_ENTI", s.enti},
                               {"NRO_DOCU", s.nro},
                               {"FEC_DOCU", s.date},
                               {"DIF_DOCT", s.diff}});

    // clang-format off
    // --- novelties to reconcile, in an order that is not the account order ---
    fx.insert("NM_PRTGE", noveltyParameter(1, 1, "CN", "NOV", QStringLiteral("DESCUENTOS DE NÓMINA"), "250505", 20));
    fx.insert("NM_PRTGE", noveltyParameter(1, 2, "CN", "EPS", QStringLiteral("APORTES EPS"), "237005", kNull));
    fx.insert("NM_PRTGE", noveltyParameter(1, 3, "CN", "PRP", QStringLiteral("PRÉSTAMOS A EMPLEADOS"), "137005", 50));
    fx.insert("NM_PRTGE", noveltyParameter(1, 4, "CN", "XYZ", QStringLiteral("NOVEDAD SIN ORIGEN"), "238030", kNull));
    fx.insert("NM_PRTGE", noveltyParameter(1, 5, "CN", "ARP", QStringLiteral("APORTES ARP"), "237006", kNull));
    fx.insert("NM_PRTGE", noveltyParameter(1, 6, "CN", "NOV", QStringLiteral("HORAS EXTRA Y AUXILIOS"), "237005", 40));
    fx.insert("NM_PRTGE", noveltyParameter(1, 7, "PF", kNull, QStringLiteral("CARGO DE APOYO"), "519595", kNull));
    fx.insert("NM_PRTGE", noveltyParameter(2, 1, "CN", "EPS", QStringLiteral("APORTES EPS"), "237005", kNull));
    // clang-format on

    // --- vacation consolidation, in date order ---
    const struct {
        int empr;
        double empl;
        QVariant date;
        double base, days, value;
    } consolidations[] = {{1, 103, d(2026, 9, 30), 900000.0, 3.0, 90000.0},      // the day before
                          {1, 101, d(2026, 10, 1), 2000000.0, 15.0, 1000000.0},  // on the start date
                          {2, 901, d(2026, 10, 15), 5000000.0, 10.0, 1666666.0}, // another company
                          {1, 102, d(2026, 10, 31), 1300000.5, 7.5, 325000.4},   // on the end date
                          {1, 104, d(2026, 11, 1), 1000000.0, 1.0, 33333.0}};    // the day after
    for (const auto& c : consolidations)
        fx.insert("NM_CONVA", {{"COD_EMPR", c.empr},
                               {"COD_EMPL", c.empl},
                               {"NRO_CONT", 1},
                               {"FEC_CONS", c.date},
                               {"BAS_LIQU", c.base},
                               {"DIA_CONS", c.days},
                               {"VAC_CONS", c.value}});
}

const QString& sqlitePath() {
    static const QString path = [] {
        const QString p = testsupport::tempPath(QStringLiteral("reports-fixture.sqlite"));
        const QString name = Schema::createSqliteFile(p);
        {
            QSqlDatabase db = QSqlDatabase::database(name);
            writeRows(db);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return p;
    }();
    return path;
}

ConnectionParams sqliteParams() {
    ConnectionParams params;
    params.protocol = QStringLiteral("sqlite");
    params.server = sqlitePath();
    return params;
}

ReportRun::ReportRun(const ConnectionParams& params)
    : dtm(&connection), rep(&dtm), company(QStringLiteral("CdsGnEmpre")) {
    testsupport::pinFormatSettings();
    connection.Open(params);
    registerProviders(connection.Providers());

    company.AddField(QStringLiteral("NOM_EMPR"), TFieldType::ftString, 80);
    company.AddField(QStringLiteral("NIT_EMPR"), TFieldType::ftFloat);
    company.AddField(QStringLiteral("BMP_REPO"), TFieldType::ftBlob);
    company.CreateDataSet();
    company.Append();
    company.FieldByName(QStringLiteral("NOM_EMPR")).SetAsString(QStringLiteral("NÓMINAS DEL VALLE S.A.S."));
    company.FieldByName(QStringLiteral("NIT_EMPR")).SetAsFloat(900111222);
    company.Post();
    values.CodEmpr = 1;
    values.CodiUsua = QStringLiteral("ADMIN");
    values.TiposNomina = QStringLiteral("N");
    values.CdsGnEmpre = &company;
    values.Host = this;
    values.Presenter = &capture;
}

ReportRun::~ReportRun() {
    connection.Close();
}

QString ReportRun::PedirObservaciones() {
    ++m_observationRequests;
    return m_observations;
}

std::unique_ptr<TProcessProgress> ReportRun::CrearProgreso() {
    struct Stub : TProcessProgress {
        ReportRun& run;
        explicit Stub(ReportRun& r) : run(r) {}
        int inPass = 0;
        // A new pass re-arms the stop button, as the progress window does.
        void Inicializar(int, bool resetAll) override {
            if (resetAll)
                inPass = 0;
        }
        void MensajeDelProceso(const QString&) override {}
        void NombreItemActual(const QString&) override { announce(); }
        void EmpleadoActual(double, const QString&) override { announce(); }
        void announce() {
            ++inPass;
            if (++run.recordsAnnounced == run.failAfter)
                throw GeneralError(QStringLiteral("Falla en el recorrido."));
        }
        void ItemActualTerminado() override {}
        void EmpleadoActualTerminado() override {}
        void UltimoError(const QString&) override {}
        void Finalizar() override { run.progressFinished = true; }
        bool ContinuarProceso() const override { return run.stopAfter < 0 || inPass < run.stopAfter; }
    };
    return std::make_unique<Stub>(*this);
}

void ReportRun::setPeriod(TDateTime from, TDateTime to) {
    values.gDtFecInic = from;
    values.gDtFecFina = to;
}

void ReportRun::generate(void (TReportBuilders::*builder)()) {
    const auto codes = [](TDataSet& list, const QString& field) {
        QList<int> result;
        for (list.First(); !list.Eof(); list.Next())
            result << list.FieldByName(field).AsInteger();
        return result;
    };
    values.Clases = codes(*dtm.CdsNmTnomi, QStringLiteral("COD_TNOM"));
    values.Prototipos = codes(*dtm.CdsNmTprot, QStringLiteral("COD_PROT"));
    values.CodCuen = dtm.gStCodCuen;
    TReportBuilders builders(dtm, rep, values);
    (builders.*builder)();
}

namespace {

// Appends each code with the catalogue's name, as the form's code check does.
void choose(SClientDataSet& catalogue, const QString& companyParam, int company, TClientDataSet& list,
            const QString& codeField, const QString& nameField, const std::vector<int>& codes) {
    catalogue.Close();
    catalogue.ParamByName(companyParam).SetAsSmallInt(company);
    catalogue.Open();
    list.EmptyDataSet();
    for (int code : codes) {
        if (!catalogue.Locate(codeField, {code}))
            throw GeneralError(QStringLiteral("código %1 no está en %2").arg(code).arg(catalogue.Name()));
        list.Append();
        list.FieldByName(codeField).SetAsInteger(code);
        list.FieldByName(nameField).SetAsString(catalogue.FieldByName(nameField).AsString());
        list.Post();
    }
}

} // namespace

void ReportRun::chooseClasses(const std::vector<int>& codes) {
    choose(*dtm.QryNmTnomi, QStringLiteral("P_COD_EMPR"), values.CodEmpr, *dtm.CdsNmTnomi,
           QStringLiteral("COD_TNOM"), QStringLiteral("NOM_TNOM"), codes);
}

void ReportRun::chooseProtos(const std::vector<int>& codes) {
    choose(*dtm.QryNmTprot, QStringLiteral("PSM_COD_EMPR"), values.CodEmpr, *dtm.CdsNmTprot,
           QStringLiteral("COD_PROT"), QStringLiteral("NOM_PROT"), codes);
}

void ReportRun::loadNoveltyParameters(int companyCode) {
    dtm.LlenarNoved(true, companyCode);
}

void ReportRun::answerObservations(const QString& text) {
    m_observations = text;
}

const report::PreparedReport& ReportRun::lastReport() const {
    if (capture.reports.empty())
        throw GeneralError(QStringLiteral("no se mostró ningún informe"));
    return capture.reports.back();
}

QStringList observationLines(const report::PreparedReport& report) {
    QStringList out;
    for (const QString& text : textsOf(report, QStringLiteral("Observaciones")))
        out += text.split(QLatin1Char('\n'));
    return out;
}

QStringList textsOf(const report::PreparedReport& report, const QString& memoName) {
    QStringList out;
    for (const auto& page : report.pages)
        for (const auto& item : page.items)
            if (const auto* t = std::get_if<report::TextItem>(&item); t && t->name == memoName)
                out << t->plainText();
    return out;
}

QStringList printedTexts(const report::PreparedReport& report) {
    QStringList out;
    for (const auto& page : report.pages)
        for (const auto& item : page.items)
            if (const auto* t = std::get_if<report::TextItem>(&item);
                t && t->name != QLatin1String("Fecha") && t->name != QLatin1String("Hora"))
                out << t->name + QStringLiteral(": ") + t->plainText();
    return out;
}

QStringList rowsOf(TDataSet& dataSet, const QStringList& fields) {
    QStringList out;
    for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) {
        QStringList cells;
        for (const QString& name : fields) {
            const TField& f = dataSet.FieldByName(name);
            if (f.IsNull())
                cells << QStringLiteral("NULL");
            else if (f.DataType() == TFieldType::ftFloat)
                cells << QString::number(f.AsFloat(), 'f', 2);
            else
                cells << f.AsString();
        }
        out << cells.join(QStringLiteral(" | "));
    }
    return out;
}

std::vector<Scenario> comparisonScenarios() {
    const auto oct = [](ReportRun& r) {
        r.setPeriod(TDateTime::encodeDate(2026, 10, 1), TDateTime::encodeDate(2026, 10, 31));
    };
    const auto dec = [](ReportRun& r) {
        r.setPeriod(TDateTime::encodeDate(2026, 12, 1), TDateTime::encodeDate(2026, 12, 31));
    };
    const QStringList totNomi{"COD_CCOS", "NOM_CCOS", "COD_TNOM", "NOM_TNOM", "VAL_ACUM"};
    const QStringList conciliation{"COD_CUEN", "NOM_CONC", "SAL_NOMI", "SAL_CONT",
                                   "DIF_SALD", "OBS_ERVA", "OBS_VALO"};
    return {
        {"cost centres, October 2026",
         [oct](ReportRun& r) {
             oct(r);
             r.generate(&TReportBuilders::GenerarNominaCentroCostos);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsTotNomi; }, totNomi},
        {"cost centres, January 2027",
         [](ReportRun& r) {
             r.setPeriod(TDateTime::encodeDate(2027, 1, 1), TDateTime::encodeDate(2027, 1, 31));
             r.generate(&TReportBuilders::GenerarNominaCentroCostos);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsTotNomi; }, totNomi},
        {"cost centres, empty period",
         [](ReportRun& r) {
             r.setPeriod(TDateTime::encodeDate(2025, 1, 1), TDateTime::encodeDate(2025, 1, 31));
             r.generate(&TReportBuilders::GenerarNominaCentroCostos);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsTotNomi; }, totNomi},
        {"staff figures by class, October 2026",
         [oct](ReportRun& r) {
             oct(r);
             r.chooseClasses({1, 2});
             r.generate(&TReportBuilders::GenerarIngresosRetiros);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsRptIngrRet; },
         {"COD_TNOM", "NOM_TNOM", "TOT_PLAN", "TOT_VCAN", "TOT_INGR", "TOT_RETI", "TOT_VACA", "TOT_INCA"}},
        {"staff figures by class and position, October 2026",
         [oct](ReportRun& r) {
             oct(r);
             r.chooseClasses({1, 2});
             r.generate(&TReportBuilders::GenerarIngresosRetiros);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsRptIngrRetCg; },
         {"COD_TNOM", "COD_CARG", "NOM_CARG", "TOT_PLAN", "TOT_VCAN", "TOT_INGR", "TOT_RETI", "TOT_VACA", "TOT_INCA"}},
        {"levies of several positions, October 2026",
         [oct](ReportRun& r) {
             oct(r);
             r.values.CodEmpr = 2;
             r.generate(&TReportBuilders::GenerarParafiscales);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsParafiscales; },
         {"COD_CARG", "NOM_CARG", "CONTEO", "SUE_BASI", "ING_SALU", "EPS_APOR", "AFP_APOR", "ARP_APOR", "SEN_APOR",
          "ICB_APOR", "CCF_APOR"}},
        {"levies of one position, October 2026",
         [oct](ReportRun& r) {
             oct(r);
             r.values.CodEmpr = 3;
             r.generate(&TReportBuilders::GenerarParafiscales);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsParafiscales; },
         {"COD_CARG", "NOM_CARG", "CONTEO", "SUE_BASI", "ING_SALU", "EPS_APOR", "AFP_APOR", "ARP_APOR", "SEN_APOR",
          "ICB_APOR", "CCF_APOR"}},
        {"driver commissions, March 2027",
         [](ReportRun& r) {
             r.setPeriod(TDateTime::encodeDate(2027, 3, 1), TDateTime::encodeDate(2027, 3, 31));
             r.chooseProtos({40});
             r.generate(&TReportBuilders::GenerarComisionesConductores);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsComisCdtor; },
         {"TIP_CTOR", "NOM_TCTR", "COD_SBAS", "NOM_SERV", "VAL_ACUM", "VAL_MANT", "TOT_EMPL"}},
        {"requisitions, October 2026",
         [oct](ReportRun& r) {
             oct(r);
             r.generate(&TReportBuilders::GenerarRequisicionPersonal);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsRqpReporte; },
         {"COD_CCOS", "COD_CARG", "NOM_CARG", "TRA_CONT", "CON_INDF", "CON_TFIJ", "CON_APRE", "TOT_NSEL", "TOT_EESS",
          "TOT_SSSS"}},
        {"user-company invoice, May 2027",
         [](ReportRun& r) {
             r.setPeriod(TDateTime::encodeDate(2027, 5, 1), TDateTime::encodeDate(2027, 5, 31));
             r.chooseProtos({40});
             r.generate(&TReportBuilders::GenerarFacturaEmpresa);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsFacturaEmpr; },
         {"COD_EMPL", "APE_EMPL", "COD_CONC", "COD_CCOS", "COD_CARG", "CAN_ACUM", "VAL_ACUM", "NOM_NIVE", "TAR_ATEP"}},
        {"temporary staff, third quarter of 2027",
         [](ReportRun& r) {
             r.values.CodEmpr = 4;
             r.setPeriod(TDateTime::encodeDate(2027, 7, 1), TDateTime::encodeDate(2027, 9, 30));
             r.generate(&TReportBuilders::GenerarTemporales);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsEmpTemp; },
         {"COD_EMPL", "NOM_NIVE", "APE_EMP1", "APE_EMP2", "NOM_EMP1", "NOM_EMP2", "NIV_EDUC", "COD_ESTA", "TIE_DIAS",
          "SUE_BASI"}},
        {"human management, February 2028",
         [](ReportRun& r) {
             r.setPeriod(TDateTime::encodeDate(2028, 2, 1), TDateTime::encodeDate(2028, 2, 29));
             r.values.TiposNomina = QStringLiteral("NV");
             r.generate(&TReportBuilders::GenerarGestionHumana);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsGH; },
         {"COD_EMPR", "NOM_TNOM", "SEX_EMPL", "EST_CIVI", "CONTEO", "TOT_EMPL", "DtfEstCivi", "DtfPorCent"}},
        {"vacations, October 2026",
         [oct](ReportRun& r) {
             oct(r);
             r.generate(&TReportBuilders::GenerarConsolidadoVacaciones);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.QryNmConva; },
         {"BAS_LIQU", "DIA_CONS", "VAC_CONS"}},
        {"payroll reconciliation, three classes",
         [oct](ReportRun& r) {
             oct(r);
             r.dtm.gStCodCuen = QStringLiteral("250505");
             r.chooseProtos({10, 20, 30});
             r.chooseClasses({1, 2, 3});
             r.answerObservations(QStringLiteral("Cierre de octubre\nrevisado"));
             r.generate(&TReportBuilders::GenerarConciliacionNomina);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsReporte; }, conciliation},
        {"payroll reconciliation, same figures in both sources",
         [oct](ReportRun& r) {
             oct(r);
             r.dtm.gStCodCuen = QStringLiteral("250505");
             r.chooseProtos({40});
             r.chooseClasses({4});
             r.generate(&TReportBuilders::GenerarConciliacionNomina);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsReporte; }, conciliation},
        {"payroll reconciliation, December",
         [dec](ReportRun& r) {
             dec(r);
             r.dtm.gStCodCuen = QStringLiteral("250505");
             r.chooseProtos({10});
             r.chooseClasses({1});
             r.generate(&TReportBuilders::GenerarConciliacionNomina);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsReporte; }, conciliation},
        {"novelty reconciliation, October 2026",
         [oct](ReportRun& r) {
             oct(r);
             r.loadNoveltyParameters(1);
             r.answerObservations(QStringLiteral("Novedades conciliadas"));
             r.generate(&TReportBuilders::GenerarConciliacionNovedades);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsNomxPag; }, conciliation},
        {"novelty reconciliation, December, kinds N and P",
         [dec](ReportRun& r) {
             dec(r);
             r.values.TiposNomina = QStringLiteral("NP");
             r.loadNoveltyParameters(1);
             r.generate(&TReportBuilders::GenerarConciliacionNovedades);
         },
         [](TDtmNmRtgen& d) -> TDataSet* { return d.CdsNomxPag; }, conciliation},
    };
}

const QStringList kReconciliationFields{"COD_CUEN", "NOM_CONC", "SAL_NOMI", "SAL_CONT", "DIF_SALD", "OBS_ERVA", "OBS_VALO"};

QStringList printedAmounts(const report::PreparedReport& r) {
    const QStringList nomi = textsOf(r, QStringLiteral("SalNomi"));
    const QStringList cont = textsOf(r, QStringLiteral("SalCont"));
    const QStringList dif = textsOf(r, QStringLiteral("DifSald"));
    QStringList out;
    for (qsizetype i = 0; i < nomi.size(); ++i)
        out << nomi[i] + QStringLiteral(" | ") + cont.value(i) + QStringLiteral(" | ") + dif.value(i);
    return out;
}

QStringList footer(const report::PreparedReport& r) {
    return textsOf(r, QStringLiteral("TotNomi")) + textsOf(r, QStringLiteral("TotCont")) +
           textsOf(r, QStringLiteral("TotDif"));
}

} // namespace reportfixture
