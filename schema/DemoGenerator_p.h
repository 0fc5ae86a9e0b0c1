// Internals of DemoGenerator: the people and contracts of one company as the generator plans them, and
// the builder that writes every table.
//
// A company is generated in three steps. First its people and contracts are planned in full (hiring and
// leaving dates, salaries, vacations, sick leaves, debts): a few hundred bytes per contract, so even
// scale 100 fits easily. Then the payroll is written month by month: each month's runs are collected as
// events, sorted by (date, kind, employee, contract) and turned into rows in that order, which is the
// order of the primary key of the movement tables, so the load only ever appends to their keys. The
// state that runs from month to month (debt balances, pending vacation days) lives in the contracts.
// Last come the tables that summarise the whole window (novelties, ledger, staffing plan, selection).
#pragma once

#include "BulkWriter_p.h"
#include "DemoCatalog_p.h"
#include "DemoGenerator.h"
#include "DemoRandom_p.h"

#include <QDate>
#include <QHash>
#include <QSqlDatabase>
#include <QVariant>
#include <array>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace demo {

struct Span {
    QDate from;
    QDate to;
    int number;
};

// A loan (concept 51), a payroll-deduction agreement with a lender (52) or a garnishment (50), repaid by
// instalments from the payroll runs.
struct Debt {
    int conceptCode;
    QDate start;
    double amount;
    double instalment;
    double balance;
};

struct Person {
    double id = 0;
    QString names;
    QString surnames;
    char sex = 'M';
    char civilStatus = 'S'; // 0: not recorded
    char document = 'C';
    QDate birth;
    QString grade;
    char academic = 'B';
};

struct Contract {
    int person = 0; // index into the company's people
    double employee = 0;
    int number = 1;
    const Job* job = nullptr;
    char type = 'F';
    char state = 'A';
    QDate hired;
    QDate left;              // null while active
    QDate expires;           // null for indefinite contracts
    double storedSalary = 0; // SUE_BASI; 0 means the legal minimum
    double salary2026 = 0;
    int processGroup = kGeneralPrototype;
    std::uint64_t uid = 0;
    char driverType = 0;
    int baseService = 0;
    std::vector<Span> vacations;
    std::vector<Span> sickLeaves;
    std::vector<Debt> debts;
    double pendingVacationDays = 0;

    // Running totals of the month being written.
    double monthBase = 0;
    double monthHealth = 0;
    double monthPension = 0;
    int monthDays = 0;

    bool activeOn(QDate day) const { return hired <= day && (left.isNull() || day <= left); }
    bool activeDuring(QDate from, QDate to) const { return hired <= to && (left.isNull() || left >= from); }
    bool isApprentice() const { return job->kind == JobKind::Apprentice; }
    bool isDriver() const { return job->kind == JobKind::Driver; }
};

// Monthly totals of one company, for its ledger.
struct LedgerFeed {
    std::array<std::array<double, 100>, 24> concepts{}; // [month][concept]
    std::array<double, 24> secondRunNet{};
    std::array<double, 24> levies{};
    std::array<double, 24> loansGranted{};
};

class DemoBuilder {
public:
    DemoBuilder(QSqlDatabase& db, std::uint64_t seed, int scale, const DemoGenerator::Progress& progress);
    ~DemoBuilder();

    void run();
    DemoSummary summary() const;

private:
    struct Event;
    struct Writers;

    // Catalogues shared by every company.
    void writeCatalogues();
    void writeCompanyCatalogues(const Company& company);

    // People and contracts.
    void planCompany(const Company& company);
    Person makePerson(const Job& job, DemoRandom& rng, int index);
    double uniqueId(double low, double high, DemoRandom& rng);
    void planContract(Contract& contract, const Company& company, DemoRandom& rng, int index, bool quotaHire,
                      bool quotaLeave);
    void planSchedules(Contract& contract, int index);
    void writePeople(const Company& company);

    // Payroll, month by month.
    void writeMovements(const Company& company);
    void collectEvents(int month, std::vector<Event>& events);
    void payEvent(Contract& contract, const Event& event, std::map<int, std::pair<double, double>>& rows);
    void writeMonthEnd(const Company& company, int month);
    double monthlySalary(const Contract& contract, QDate day) const;

    // Whole-window summaries.
    void writeNovelties(const Company& company);
    void writeSettlementDocuments(const Company& company);
    void writeLedger(const Company& company);
    void writeStaffingPlan(const Company& company);
    void writeSelection(const Company& company);

    QVariant day(QDate date);
    QVariant letter(char c) const;
    double unit(std::uint64_t a, std::uint64_t b, std::uint64_t c, std::uint64_t d = 0) const;

    SqlBackend m_backend;
    std::uint64_t m_seed;
    int m_scale;
    std::unique_ptr<Writers> m_w;
    QHash<qint64, QVariant> m_days;
    std::array<QVariant, 128> m_letters;

    // The company being generated.
    std::vector<Person> m_people;
    std::vector<Contract> m_contracts;
    std::set<double> m_ids;
    LedgerFeed m_ledger;
    int m_commissionNumber = 0;
};

// One writer per table.
struct DemoBuilder::Writers {
    Writers(QSqlDatabase& db, const DemoGenerator::Progress& p)
        : empre(db, "GN_EMPRE", "COD_EMPR,NOM_EMPR,NIT_EMPR,BMP_REPO", p),
          ccost(db, "GN_CCOST", "COD_EMPR,COD_CCOS,NOM_CCOS", p),
          nivel(db, "GN_NIVEL", "COD_EMPR,COD_ARBO,IDE_ARBO,COD_NIVE,NUM_NIVE,NOM_NIVE,COD_PADR", p),
          divip(db, "GN_DIVIP", "COD_PAIS,COD_DPTO,COD_MPIO,COD_LOCA,NOM_MPIO", p),
          emple(db, "BI_EMPLE",
                "COD_EMPR,COD_EMPL,NOM_EMPL,APE_EMPL,SEX_EMPL,EST_CIVI,TIP_DOCU,FEC_NACI,GRA_EDUC,FOR_ACAD",
                p),
          rlEmple(db, "RL_EMPLE", "COD_EMPR,COD_EMPL,TIP_DOCU,APE_EMPL,NOM_EMPL,FEC_NACI,SEX_EMPL,GRA_EDUC",
                  p),
          cargo(db, "BI_CARGO", "COD_EMPR,COD_CARG,NOM_CARG", p),
          tnomi(db, "NM_TNOMI", "COD_EMPR,COD_TNOM,NOM_TNOM", p),
          tprot(db, "NM_TPROT", "COD_EMPR,COD_PROT,NOM_PROT", p),
          conce(db, "NM_CONCE", "COD_EMPR,COD_CONC,NOM_CONC,TIP_CONC", p),
          proto(db, "NM_PROTO", "COD_EMPR,COD_PROT,COD_CONC", p),
          contr(db, "NM_CONTR",
                "COD_EMPR,COD_EMPL,NRO_CONT,COD_CCOS,COD_CARG,COD_TNOM,TIP_CONT,IND_ACTI,FEC_INGR,FEC_DEJA,"
                "FEC_VENC,SUE_BASI,COD_GPRO,COD_NIV1,COD_ARBO,IDE_ARBO,COD_CENP",
                p),
          preno(db, "NM_PRENO",
                "COD_EMPR,COD_EMPL,NRO_CONT,COD_CONC,FEC_ACUM,TIP_NOMI,COD_TNOM,COD_CCOS,CAN_ACUM,VAL_ACUM",
                p),
          acumu(db, "NM_ACUMU",
                "COD_EMPR,COD_EMPL,NRO_CONT,COD_CONC,FEC_ACUM,TIP_NOMI,COD_TNOM,COD_CCOS,CAN_ACUM,VAL_ACUM",
                p),
          noved(db, "NM_NOVED", "COD_EMPR,COD_EMPL,NRO_NOVE,NRO_CONT,COD_CONC,FEC_PAGO,VAL_NOVE,SAL_NOVE", p),
          cinca(db, "NM_CINCA", "COD_EMPR,TIP_ENTI,COD_ENTI,NRO_DOCU,FEC_DOCU,DIF_DOCT", p),
          vacac(db, "NM_VACAC", "COD_EMPR,COD_EMPL,NRO_CONT,NRO_VACA,FEC_DIS1,FEC_DIS2,DIA_DISF", p),
          incap(db, "NM_INCAP", "COD_EMPR,COD_EMPL,NRO_CONT,NRO_INCA,FEC_DESD,FEC_HAST,DIA_INCA", p),
          conva(db, "NM_CONVA", "COD_EMPR,COD_EMPL,NRO_CONT,FEC_CONS,BAS_LIQU,DIA_CONS,VAC_CONS", p),
          param(db, "NM_PARAM", "COD_EMPR,SAL_MINL,AUX_TRAN", p),
          parin(db, "NM_PARIN", "COD_EMPR,COD_SENA,COD_ICBF,COD_CDCF", p),
          prtge(db, "NM_PRTGE",
                "ACT_USUA,ACT_HORA,ACT_ESTA,COD_EMPR,RMT_PRTG,TIP_PARA,TIP_NOVE,NOM_NOVE,COD_CUEN,COD_PROT,"
                "COD_TNOM,DES_AGRU",
                p),
          autol(db, "NM_AUTOL",
                "COD_EMPR,COD_EMPL,NRO_CONT,FEC_PROC,ING_SALU,CSA_EMPL,CSA_PATR,COP_EMPL,COP_PATR,CAR_PATR",
                p),
          propa(db, "NM_PROPA", "COD_EMPR,COD_EMPL,NRO_CONT,COD_PROV,FEC_LIQU,VAL_LIQU", p),
          bepro(db, "NM_BEPRO", "COD_EMPR,COD_PROV,NOM_PROV,IND_PROV", p),
          cdtor(db, "NM_CDTOR", "COD_EMPR,COD_CTOR,TIP_CTOR,COD_SBAS", p),
          servi(db, "NM_SERVI", "COD_EMPR,COD_SERV,NOM_SERV", p),
          comli(db, "NM_COMLI", "COD_EMPR,NRO_LIQU,COD_EMPL,NRO_CONT,FEC_COMI,TIP_COMI,VAL_LIQU", p),
          centp(db, "NM_CENTP", "COD_EMPR,COD_CENP,NOM_CENP,TAR_ATEP", p),
          parss(db, "NM_PARSS", "COD_EMPR,DIG_VERI,COD_PAIS,COD_DPTO,COD_MPIO", p),
          grsel(db, "SL_GRSEL", "COD_EMPR,COD_GRSE,DES_GRSE", p),
          reqpe(db, "SL_REQPE",
                "COD_EMPR,COD_GRSE,COD_REQS,COD_CARP,COD_CCOS,FEC_SOLI,NRO_PLAZ,NRO_VACU,SUE_PROP", p),
          incoa(db, "SL_INCOA", "COD_EMPR,COD_GRSE,COD_REQS,COD_CARP,COD_ASPI,EST_SELE,DES_GERE", p),
          reqpf(db, "SL_REQPF", "COD_EMPR,COD_GRSE,COD_REQS,COD_REGI,TIP_APLI,COD_REQU,COD_ESPE", p),
          requi(db, "AC_REQUI", "COD_EMPR,TIP_REGI,TIP_APLI,COD_REQU,NOM_REQU", p),
          espec(db, "AC_ESPEC", "COD_EMPR,TIP_REGI,TIP_APLI,COD_REQU,COD_ESPE,NOM_ESPE", p),
          plant(db, "AC_PLANT", "COD_EMPR,NRO_PLAZ,COD_CARG,COD_CCOS,COD_EMPL", p),
          cuent(db, "CT_CUENT", "COD_EMPR,COD_CUEN,NOM_CUEN,NAT_CUEN", p),
          saldo(db, "CT_SALDO", "COD_EMPR,ANO_ACUM,MES_ACUM,COD_CUEN,VAL_DEBI,VAL_CRED", p) {}

    std::vector<BulkWriter*> all() {
        return {&empre, &ccost, &nivel, &divip, &emple, &rlEmple, &cargo, &tnomi, &tprot, &conce,
                &proto, &contr, &preno, &acumu, &noved, &cinca,   &vacac, &incap, &conva, &param,
                &parin, &prtge, &autol, &propa, &bepro, &cdtor,   &servi, &comli, &centp, &parss,
                &grsel, &reqpe, &incoa, &reqpf, &requi, &espec,   &plant, &cuent, &saldo};
    }

    BulkWriter empre, ccost, nivel, divip, emple, rlEmple, cargo, tnomi, tprot, conce, proto, contr, preno,
        acumu, noved, cinca, vacac, incap, conva, param, parin, prtge, autol, propa, bepro, cdtor, servi,
        comli, centp, parss, grsel, reqpe, incoa, reqpf, requi, espec, plant, cuent, saldo;
};

// First day of month m of the window (0 = January 2025).
inline QDate monthStart(int m) {
    return QDate(2025 + m / 12, m % 12 + 1, 1);
}
inline QDate monthEnd(int m) {
    return monthStart(m).addMonths(1).addDays(-1);
}
constexpr int kMonths = 24;

} // namespace demo
