// The payroll movements of the demo database, written month by month (see DemoGenerator_p.h for why).
//
// Each month collects its runs as events: the two fortnightly runs (N) of every contract active in the
// fortnight, the company-wide runs (severance interest and severance in January and February (C), the
// service bonus in June and December (P), extra payments at quarter ends (X), additional bonuses in July
// and December (A)) and the runs of one contract (vacation start (V), final settlement (D), partial
// severance withdrawals (C)). Events sorted by (date, kind, employee, contract) give the rows in the
// order of the movement tables' primary key; events with the same key pay into one set of concepts.
// Runs dated up to DemoGenerator::lastClosedDay() go to NM_ACUMU, later ones to NM_PRENO.
//
// Amounts are whole pesos. A fortnight counts 15 days, a month 30 (the commercial calendar); salaries,
// allowances and contribution rates follow the Colombian rules in broad strokes.
#include "DemoGenerator_p.h"

#include <algorithm>
#include <cmath>

namespace demo {

struct DemoBuilder::Event {
    enum What {
        FirstRun,
        SecondRun,
        SeveranceInterest,
        Severance,
        PartialSeverance,
        ServiceBonus,
        Additional,
        Extra,
        Vacation,
        Settlement
    };
    QDate date;
    char kind;
    double employee;
    int number;
    std::size_t contract;
    What what;
    std::size_t vacation;

    bool sameKey(const Event& o) const {
        return date == o.date && kind == o.kind && employee == o.employee && number == o.number;
    }
    bool operator<(const Event& o) const {
        if (date != o.date)
            return date < o.date;
        if (kind != o.kind)
            return kind < o.kind;
        if (employee != o.employee)
            return employee < o.employee;
        return number < o.number;
    }
};

namespace {

int daysIn(QDate from, QDate to) {
    return from > to ? 0 : int(from.daysTo(to)) + 1;
}

int overlap(QDate a1, QDate a2, QDate b1, QDate b2) {
    return daysIn(std::max(a1, b1), std::min(a2, b2));
}

double money(double value) {
    return std::round(value);
}

double round1000(double value) {
    return std::round(value / 1000.0) * 1000.0;
}

double atepOf(int workCentre) {
    for (const WorkCentre& centre : workCentres())
        if (centre.code == workCentre)
            return centre.atep;
    return 0.522;
}

const std::array<char, 100>& conceptTypes() {
    static const std::array<char, 100> types = [] {
        std::array<char, 100> t{};
        for (const Concept& item : concepts())
            t[std::size_t(item.code)] = item.type;
        return t;
    }();
    return types;
}

void pay(std::map<int, std::pair<double, double>>& rows, int item, double quantity, double value) {
    auto& row = rows[item];
    row.first += quantity;
    row.second += value;
}

} // namespace

double DemoBuilder::monthlySalary(const Contract& contract, QDate day) const {
    const int year = day.year();
    if (contract.isApprentice())
        return minimumSalary(year) * (day < contract.hired.addMonths(6) ? 0.75 : 1.0);
    if (contract.salary2026 <= minimumSalary(2026))
        return minimumSalary(year);
    if (year >= 2026)
        return contract.salary2026;
    const double salary2025 = std::max(minimumSalary(2025), round1000(contract.salary2026 / 1.09));
    if (year == 2025)
        return salary2025;
    return std::max(minimumSalary(year), round1000(salary2025 / 1.1));
}

void DemoBuilder::collectEvents(int m, std::vector<Event>& events) {
    const QDate first = monthStart(m);
    const QDate last = monthEnd(m);
    const int year = first.year();
    const int month = first.month();
    const QDate middle(year, month, 15);
    const QDate yearStart(year, 1, 1);

    for (std::size_t i = 0; i < m_contracts.size(); ++i) {
        const Contract& c = m_contracts[i];
        if (!c.activeDuring(first, last))
            continue;
        const auto add = [&](QDate date, char kind, Event::What what, std::size_t vacation = 0) {
            events.push_back({date, kind, c.employee, c.number, i, what, vacation});
        };
        if (c.activeDuring(first, middle))
            add(middle, 'N', Event::FirstRun);
        if (c.activeDuring(middle.addDays(1), last))
            add(last, 'N', Event::SecondRun);
        for (std::size_t v = 0; v < c.vacations.size(); ++v)
            if (c.vacations[v].from >= first && c.vacations[v].from <= last)
                add(c.vacations[v].from, 'V', Event::Vacation, v);
        if (c.isApprentice())
            continue; // apprentices receive no benefits
        if (!c.left.isNull() && c.left >= first && c.left <= last)
            add(c.left, 'D', Event::Settlement);
        if (month == 1 && c.hired < yearStart && c.activeOn(QDate(year, 1, 31)))
            add(QDate(year, 1, 31), 'C', Event::SeveranceInterest);
        if (month == 2 && c.hired < yearStart && c.activeOn(QDate(year, 2, 14)))
            add(QDate(year, 2, 14), 'C', Event::Severance);
        if (month > 2 && c.hired < first.addDays(-365) && c.activeOn(QDate(year, month, 10)) &&
            unit(c.uid, std::uint64_t(m), 'C') < 0.03)
            add(QDate(year, month, 10), 'C', Event::PartialSeverance);
        const QDate bonusDay = month == 6 ? QDate(year, 6, 30) : QDate(year, 12, 20);
        if ((month == 6 || month == 12) && c.activeOn(bonusDay))
            add(bonusDay, 'P', Event::ServiceBonus);
        if (month % 3 == 0 && c.job->kind != JobKind::Administrative && c.activeOn(QDate(year, month, 20)) &&
            unit(c.uid, std::uint64_t(m), 'X') < 0.3)
            add(QDate(year, month, 20), 'X', Event::Extra);
        if ((month == 7 || month == 12) && c.activeOn(QDate(year, month, 10)) &&
            (c.job->payrollClass == 1 || unit(c.uid, std::uint64_t(m), 'A') < 0.2))
            add(QDate(year, month, 10), 'A', Event::Additional);
    }
}

void DemoBuilder::payEvent(Contract& c, const Event& event, std::map<int, std::pair<double, double>>& rows) {
    const QDate date = event.date;
    const int year = date.year();
    const double salary = monthlySalary(c, date);
    const double minimum = minimumSalary(year);
    const double allowance = !c.isApprentice() && salary <= 2 * minimum ? transportAllowance(year) : 0;
    const double daily = salary / 30.0;
    const double atep = atepOf(c.job->workCentre);
    const auto jd = std::uint64_t(date.toJulianDay());
    const auto chance = [&](std::uint64_t what, std::uint64_t extra = 0) {
        return unit(c.uid, jd, what, extra);
    };

    switch (event.what) {
    case Event::FirstRun:
    case Event::SecondRun: {
        const bool second = event.what == Event::SecondRun;
        const QDate a(year, date.month(), second ? 16 : 1);
        const QDate from = std::max(a, c.hired);
        const QDate to = c.left.isNull() ? date : std::min(date, c.left);
        const int calendar = daysIn(from, to);
        const int worked = calendar >= daysIn(a, date) ? 15 : std::min(15, calendar);
        int vacation = 0;
        for (const Span& v : c.vacations)
            vacation += overlap(v.from, v.to, from, to);
        int sick = 0;
        for (const Span& s : c.sickLeaves)
            sick += overlap(s.from, s.to, from, to);
        vacation = std::min(vacation, worked);
        sick = std::min(sick, worked - vacation);
        const int paid = worked - vacation - sick;
        c.monthDays += worked;

        if (c.isApprentice()) {
            double base = 0;
            if (paid > 0) {
                base += money(daily * paid);
                pay(rows, 7, paid, money(daily * paid));
            }
            if (sick > 0) {
                base += money(daily * sick);
                pay(rows, 6, sick, money(daily * sick));
            }
            c.monthBase += base;
            if (second)
                pay(rows, 72, 0, money(c.monthBase * atep / 100.0));
            return;
        }

        double base = 0;
        if (paid > 0) {
            base += money(daily * paid);
            pay(rows, 1, paid, money(daily * paid));
            if (allowance > 0)
                pay(rows, 2, paid, money(allowance / 30.0 * paid));
        }
        if (paid > 0 && c.job->kind != JobKind::Administrative) {
            const double hourly = salary / 230.0;
            if (chance(3) < 0.45) {
                const int hours = 2 + int(chance(3, 1) * 15);
                base += money(hourly * 1.25 * hours);
                pay(rows, 3, hours, money(hourly * 1.25 * hours));
            }
            if (chance(4) < 0.15) {
                const int hours = 1 + int(chance(4, 1) * 8);
                base += money(hourly * 1.75 * hours);
                pay(rows, 4, hours, money(hourly * 1.75 * hours));
            }
            if (chance(5) < (c.isDriver() ? 0.5 : 0.25)) {
                const int hours = 4 + int(chance(5, 1) * 27);
                base += money(hourly * 0.35 * hours);
                pay(rows, 5, hours, money(hourly * 0.35 * hours));
            }
        }
        if (sick > 0) {
            const double value = money(std::max(salary * 2.0 / 3.0, minimum) / 30.0 * sick);
            base += value;
            pay(rows, 6, sick, value);
        }
        if (second && c.isDriver()) {
            const double commission = std::round((250000 + 950000 * chance(60)) / 100.0) * 100.0;
            base += commission;
            pay(rows, 60, 20 + int(chance(60, 1) * 60), commission);
        }
        if (second && chance(61) < 0.03)
            pay(rows, 61, 1, round1000(100000 + 300000 * chance(61, 1)));

        const double health = money(base * 0.04);
        const double pension = money(base * 0.04);
        const double solidarity = salary >= 4 * minimum ? money(base * 0.01) : 0;
        pay(rows, 10, 0, health);
        pay(rows, 11, 0, pension);
        if (solidarity > 0)
            pay(rows, 12, 0, solidarity);
        c.monthBase += base;
        c.monthHealth += health;
        c.monthPension += pension + solidarity;
        if (second && salary >= 10000000)
            pay(rows, 13, 0, money((salary - 7000000) * 0.15));

        for (Debt& debt : c.debts) {
            if (debt.start > date || debt.balance <= 0 || (debt.conceptCode == 52 && !second))
                continue;
            const double instalment = std::min(debt.instalment, debt.balance);
            debt.balance -= instalment;
            pay(rows, debt.conceptCode, 1, instalment);
        }

        if (second) {
            const double share = std::min(30, c.monthDays) / 30.0;
            const double severance = money((salary + allowance) * share * 0.0833);
            pay(rows, 40, 0, money((salary + allowance) * share * 0.0833));
            pay(rows, 41, 0, severance);
            pay(rows, 42, 0, money(salary * share * 0.0417));
            pay(rows, 43, 0, money(severance * 0.12));
            pay(rows, 70, 0, money(c.monthBase * 0.085));
            pay(rows, 71, 0, money(c.monthBase * 0.12));
            pay(rows, 72, 0, money(c.monthBase * atep / 100.0));
        }
        return;
    }
    case Event::Vacation: {
        const double value = money(daily * 21);
        pay(rows, 30, 15, value);
        if (chance(31) < 0.2) {
            pay(rows, 31, 7, money(daily * 7));
            c.pendingVacationDays = std::max(0.0, c.pendingVacationDays - 7);
        }
        const double health = money(value * 0.04);
        const double pension = money(value * 0.04);
        pay(rows, 10, 0, health);
        pay(rows, 11, 0, pension);
        c.monthBase += value;
        c.monthHealth += health;
        c.monthPension += pension;
        c.pendingVacationDays = std::max(0.0, c.pendingVacationDays - 15);
        return;
    }
    case Event::Settlement: {
        const QDate semester(year, date.month() <= 6 ? 1 : 7, 1);
        const int yearDays = std::min(360, daysIn(std::max(QDate(year, 1, 1), c.hired), date));
        const int semesterDays = std::min(180, daysIn(std::max(semester, c.hired), date));
        const double severance = money((salary + allowance) * yearDays / 360.0);
        pay(rows, 20, semesterDays, money((salary + allowance) * semesterDays / 360.0));
        pay(rows, 21, yearDays, severance);
        pay(rows, 22, yearDays, money(severance * 0.12 * yearDays / 360.0));
        if (c.pendingVacationDays > 0) {
            pay(rows, 31, c.pendingVacationDays, money(daily * c.pendingVacationDays));
            c.pendingVacationDays = 0;
        }
        if (c.type == 'F' && chance(25) < 0.25) {
            const int days = 15 + int(chance(25, 1) * 76);
            pay(rows, 25, days, money(daily * days));
        }
        for (Debt& debt : c.debts)
            if (debt.conceptCode == 51 && debt.balance > 0 && debt.start <= date) {
                pay(rows, 51, 1, debt.balance);
                debt.balance = 0;
            }
        return;
    }
    case Event::SeveranceInterest:
    case Event::Severance: {
        const int previous = year - 1;
        const int days =
            std::min(360, daysIn(std::max(QDate(previous, 1, 1), c.hired), QDate(previous, 12, 31)));
        const double previousSalary = monthlySalary(c, QDate(previous, 12, 31));
        const double previousAllowance =
            previousSalary <= 2 * minimumSalary(previous) ? transportAllowance(previous) : 0;
        const double severance = money((previousSalary + previousAllowance) * days / 360.0);
        if (event.what == Event::Severance)
            pay(rows, 21, days, severance);
        else
            pay(rows, 22, days, money(severance * 0.12 * days / 360.0));
        return;
    }
    case Event::PartialSeverance:
        pay(rows, 21, 1, round1000(salary * (0.3 + 0.6 * chance(21))));
        return;
    case Event::ServiceBonus: {
        const QDate semester(year, date.month() <= 6 ? 1 : 7, 1);
        const QDate semesterEnd(year, date.month() <= 6 ? 6 : 12, date.month() <= 6 ? 30 : 31);
        const int days = std::min(180, daysIn(std::max(semester, c.hired), semesterEnd));
        pay(rows, 20, days, money((salary + allowance) * days / 360.0));
        return;
    }
    case Event::Additional:
        pay(rows, 61, 1, round1000(salary * (0.1 + 0.2 * chance(61, 2))));
        return;
    case Event::Extra:
        pay(rows, 61, 1, round1000(100000 + 400000 * chance(61, 3)));
        return;
    }
}

void DemoBuilder::writeMovements(const Company& company) {
    const int e = company.code;
    const QDate lastClosed = DemoGenerator::lastClosedDay();
    const auto& types = conceptTypes();
    std::vector<Event> events;
    std::map<int, std::pair<double, double>> rows;

    for (int m = 0; m < kMonths; ++m) {
        for (Contract& c : m_contracts) {
            c.monthBase = 0;
            c.monthHealth = 0;
            c.monthPension = 0;
            c.monthDays = 0;
        }
        events.clear();
        collectEvents(m, events);
        std::sort(events.begin(), events.end());

        for (std::size_t i = 0; i < events.size();) {
            const Event& head = events[i];
            Contract& c = m_contracts[head.contract];
            rows.clear();
            std::size_t j = i;
            for (; j < events.size() && events[j].sameKey(head); ++j)
                payEvent(c, events[j], rows);

            BulkWriter& writer = head.date <= lastClosed ? m_w->acumu : m_w->preno;
            const QVariant date = day(head.date);
            const QVariant kind = letter(head.kind);
            for (const auto& [item, amounts] : rows) {
                if (amounts.second == 0)
                    continue;
                writer.add({e, c.employee, c.number, item, date, kind, c.job->payrollClass, c.job->costCentre,
                            amounts.first, amounts.second});
                m_ledger.concepts[std::size_t(m)][std::size_t(item)] += amounts.second;
                if (head.kind == 'N' && head.date.day() > 15) {
                    const char type = types[std::size_t(item)];
                    m_ledger.secondRunNet[std::size_t(m)] += type == 'I'   ? amounts.second
                                                             : type == 'E' ? -amounts.second
                                                                           : 0;
                }
            }
            i = j;
        }
        writeMonthEnd(company, m);
    }
}

void DemoBuilder::writeMonthEnd(const Company& company, int m) {
    const int e = company.code;
    const QDate first = monthStart(m);
    const QDate last = monthEnd(m);
    const QVariant lastDay = day(last);
    const auto jd = std::uint64_t(last.toJulianDay());

    for (Contract& c : m_contracts) {
        if (!c.activeDuring(first, last))
            continue;
        const double atep = atepOf(c.job->workCentre);
        if (c.monthBase > 0) {
            const double base = money(c.monthBase);
            if (c.isApprentice())
                m_w->autol.add({e, c.employee, c.number, lastDay, base, 0.0, money(base * 0.125), 0.0, 0.0,
                                money(base * atep / 100.0)});
            else
                m_w->autol.add({e, c.employee, c.number, lastDay, base, c.monthHealth, money(base * 0.085),
                                c.monthPension, money(base * 0.12), money(base * atep / 100.0)});
        }
        if (c.monthBase > 0 && !c.isApprentice()) {
            // The three levies of the company's parameters, and for some contracts two more entities.
            std::map<int, double> levies{
                {company.levySena, 0.02}, {company.levyIcbf, 0.03}, {company.levyFamily, 0.04}};
            if (unit(c.uid, 6, 'P') < 0.08)
                levies.emplace(6, 0.005);
            if (unit(c.uid, 7, 'P') < 0.06)
                levies.emplace(7, 0.005);
            for (const auto& [provider, rate] : levies) {
                const double value = money(c.monthBase * rate);
                m_w->propa.add({e, c.employee, c.number, provider, lastDay, value});
                if (provider == company.levySena || provider == company.levyIcbf ||
                    provider == company.levyFamily)
                    m_ledger.levies[std::size_t(m)] += value;
            }
        }
        if (c.activeOn(last) && !c.isApprentice()) {
            c.pendingVacationDays = std::round((c.pendingVacationDays + 1.25) * 100.0) / 100.0;
            const double salary = monthlySalary(c, last);
            m_w->conva.add({e, c.employee, c.number, lastDay, salary, c.pendingVacationDays,
                            money(salary / 30.0 * c.pendingVacationDays)});
        }
        if (c.isDriver() && c.activeOn(last)) {
            const char kind = unit(c.uid, jd, 'L') < 0.1 ? 'A' : 'N';
            const double value = round1000(120000 + 530000 * unit(c.uid, jd, 'M'));
            m_w->comli.add({e, ++m_commissionNumber, c.employee, c.number, lastDay, letter(kind), value});
        }
    }
}

} // namespace demo
