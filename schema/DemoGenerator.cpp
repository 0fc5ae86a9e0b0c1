// DemoGenerator: the driver of a fill (transaction, pragmas, indexes, statistics) and the builder's
// catalogues, people, contracts and whole-window tables. The payroll movements are in DemoPayroll.cpp.
#include "DemoGenerator_p.h"

#include "GeneralError.h"
#include "Schema.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <cmath>
#include <tuple>

// ---------------------------------------------------------------------------------------------------------
// Public interface

qint64 DemoSummary::totalRows() const {
    qint64 total = 0;
    for (const auto& [table, count] : rows)
        total += count;
    return total;
}

qint64 DemoSummary::rowsOf(const QString& table) const {
    for (const auto& [name, count] : rows)
        if (name.compare(table, Qt::CaseInsensitive) == 0)
            return count;
    return 0;
}

DemoGenerator::DemoGenerator(quint64 seed, int scale) : m_seed(seed), m_scale(scale) {
    if (scale < 1)
        throw GeneralError(QStringLiteral("La escala debe ser un número entero mayor que cero."));
}

int DemoGenerator::employeeCount() const {
    int total = 0;
    for (const demo::Company& company : demo::companies())
        total += company.employeesPerScale * m_scale;
    return total;
}

QDate DemoGenerator::firstDay() {
    return QDate(2025, 1, 1);
}
QDate DemoGenerator::lastDay() {
    return QDate(2026, 12, 31);
}
QDate DemoGenerator::lastClosedDay() {
    return QDate(2026, 12, 15);
}

DemoSummary DemoGenerator::fill(QSqlDatabase& db, const Progress& progress, Tables tables) const {
    QElapsedTimer timer;
    timer.start();
    const SqlBackend backend = sqlBackendOf(db);
    QSqlQuery query(db);
    const auto run = [&query](const QString& sql) {
        if (!query.exec(sql))
            throw GeneralError(
                QStringLiteral("No se pudo ejecutar «%1»: %2").arg(sql, query.lastError().text()));
    };
    if (backend == SqlBackend::Sqlite) {
        run(QStringLiteral("PRAGMA journal_mode=OFF"));
        run(QStringLiteral("PRAGMA synchronous=OFF"));
        run(QStringLiteral("PRAGMA cache_size=-65536"));
    }
    if (!db.transaction())
        throw GeneralError(
            QStringLiteral("No se pudo iniciar la transacción de carga: %1").arg(db.lastError().text()));
    DemoSummary summary;
    try {
        if (tables == Tables::Replace)
            Schema::apply(db, Schema::dropStatements());
        if (tables != Tables::Existing)
            Schema::apply(db, Schema::statements(Schema::Part::Tables));
        demo::DemoBuilder builder(db, m_seed, m_scale, progress);
        builder.run();
        summary = builder.summary();
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit())
        throw GeneralError(QStringLiteral("No se pudo confirmar la carga: %1").arg(db.lastError().text()));
    Schema::createIndexes(db);
    // The planner's statistics of the new rows; on PostgreSQL only the schema's tables, since the database
    // may hold others that this load did not touch.
    run(backend == SqlBackend::Postgres ? QStringLiteral("ANALYZE ") + Schema::tableNames().join(u',')
                                        : QStringLiteral("ANALYZE"));
    if (backend == SqlBackend::Sqlite) {
        run(QStringLiteral("PRAGMA journal_mode=DELETE"));
        run(QStringLiteral("PRAGMA synchronous=FULL"));
    }
    summary.seconds = double(timer.elapsed()) / 1000.0;
    return summary;
}

namespace demo {

// ---------------------------------------------------------------------------------------------------------
// Small helpers

namespace {

QDate randomDay(DemoRandom& rng, QDate from, QDate to) {
    return from.addDays(rng.between(0, int(from.daysTo(to))));
}

double round1000(double value) {
    return std::round(value / 1000.0) * 1000.0;
}

double roundTo(double value, double step) {
    return std::round(value / step) * step;
}

// Check digit of a Colombian tax number.
int taxCheckDigit(double nit) {
    static const int weights[] = {3, 7, 13, 17, 19, 23, 29, 37, 41, 43, 47, 53, 59, 67, 71};
    auto n = static_cast<long long>(nit);
    int sum = 0;
    for (int i = 0; n > 0 && i < 15; ++i, n /= 10)
        sum += int(n % 10) * weights[i];
    const int r = sum % 11;
    return r >= 2 ? 11 - r : r;
}

// A date that falls on a payroll run: the 15th or the last day of its month.
QDate fortnightEnd(QDate day) {
    return day.day() <= 15 ? QDate(day.year(), day.month(), 15)
                           : QDate(day.year(), day.month(), day.daysInMonth());
}

} // namespace

DemoBuilder::DemoBuilder(QSqlDatabase& db, std::uint64_t seed, int scale,
                         const DemoGenerator::Progress& progress)
    : m_backend(sqlBackendOf(db)), m_seed(seed), m_scale(scale),
      m_w(std::make_unique<Writers>(db, progress)) {
    for (int c = 0; c < 128; ++c)
        m_letters[std::size_t(c)] = QVariant(QString(QChar(c)));
}

DemoBuilder::~DemoBuilder() = default;

QVariant DemoBuilder::day(QDate date) {
    if (date.isNull())
        return QVariant();
    auto it = m_days.constFind(date.toJulianDay());
    if (it != m_days.constEnd())
        return *it;
    const QVariant value = storageValue(QVariant(date), m_backend);
    m_days.insert(date.toJulianDay(), value);
    return value;
}

QVariant DemoBuilder::letter(char c) const {
    if (c <= 0)
        return QVariant();
    return m_letters[std::size_t(c)];
}

double DemoBuilder::unit(std::uint64_t a, std::uint64_t b, std::uint64_t c, std::uint64_t d) const {
    return demoUnit(demoHash({m_seed, a, b, c, d}));
}

void DemoBuilder::run() {
    writeCatalogues();
    for (const Company& company : companies()) {
        planCompany(company);
        writePeople(company);
        writeMovements(company);
        writeNovelties(company);
        writeSettlementDocuments(company);
        writeLedger(company);
        writeStaffingPlan(company);
        if (company.staffing)
            writeSelection(company);
    }
    for (BulkWriter* writer : m_w->all())
        writer->finish();
}

DemoSummary DemoBuilder::summary() const {
    DemoSummary summary;
    const std::vector<BulkWriter*> writers = m_w->all();
    for (const QString& table : Schema::tableNames()) {
        qint64 rows = 0;
        for (const BulkWriter* writer : writers)
            if (writer->table() == table)
                rows = writer->rows();
        summary.rows.append({table, rows});
    }
    return summary;
}

// ---------------------------------------------------------------------------------------------------------
// Catalogues

void DemoBuilder::writeCatalogues() {
    for (const Place& place : places())
        m_w->divip.add({place.country, place.department, place.municipality, place.locality,
                        QString::fromUtf8(place.name)});
    for (const Company& company : companies())
        writeCompanyCatalogues(company);
}

void DemoBuilder::writeCompanyCatalogues(const Company& company) {
    const int e = company.code;
    m_w->empre.add({e, QString::fromUtf8(company.name), company.nit,
                    DemoGenerator::companyLogo(QString::fromLatin1(company.initials), company.colour)});
    for (const Coded& centre : company.costCentres)
        m_w->ccost.add({e, centre.code, QString::fromUtf8(centre.name)});
    for (const TreeNode& node : company.tree)
        m_w->nivel.add({e, 1, 1, node.code, node.level, QString::fromUtf8(node.name),
                        node.parent ? QVariant(node.parent) : QVariant()});
    for (const Position& position : positions())
        m_w->cargo.add({e, QString::fromLatin1(position.code), QString::fromUtf8(position.name)});
    for (const Coded& payrollClass : payrollClasses())
        m_w->tnomi.add({e, payrollClass.code, QString::fromUtf8(payrollClass.name)});
    for (const Prototype& prototype : prototypes())
        m_w->tprot.add({e, prototype.code, QString::fromUtf8(prototype.name)});
    for (const Concept& item : concepts())
        m_w->conce.add({e, item.code, QString::fromUtf8(item.name), letter(item.type)});
    for (const Prototype& prototype : prototypes())
        for (int item : prototype.concepts)
            m_w->proto.add({e, prototype.code, item});
    m_w->param.add({e, minimumSalary(2026), transportAllowance(2026)});
    m_w->parin.add({e, company.levySena, company.levyIcbf, company.levyFamily});
    m_w->parss.add({e, QString::number(taxCheckDigit(company.nit)), kColombia, company.department,
                    company.municipality >= 0 ? QVariant(company.municipality) : QVariant()});
    for (const WorkCentre& centre : workCentres())
        m_w->centp.add({e, centre.code, QString::fromUtf8(centre.name), centre.atep});
    for (const Provider& provider : providers())
        m_w->bepro.add({e, provider.code, QString::fromUtf8(provider.name), letter(provider.state)});
    for (const Coded& service : services())
        m_w->servi.add({e, service.code, QString::fromUtf8(service.name)});

    // Report parameters: CN from 1, PF from 101, GH from 201; stamped by the administrator who set them.
    const QDateTime stamp(QDate(2024, 11, 5), QTime(8, 30, 0));
    const auto parameter = [&](int number, const char* kind, const QVariant& novelty, const QString& name,
                               const QVariant& account, const QVariant& prototype,
                               const QVariant& payrollClass, const QString& grouping) {
        m_w->prtge.add({QStringLiteral("ADMIN"), storageValue(stamp.addSecs(number * 97), m_backend),
                        letter('A'), e, number, QString::fromLatin1(kind), novelty, name, account, prototype,
                        payrollClass, grouping});
    };
    int number = 1;
    for (const NoveltyParameter& novelty : company.novelties)
        parameter(number++, "CN", QString::fromLatin1(novelty.type), QString::fromUtf8(novelty.name),
                  QString::fromLatin1(novelty.account), novelty.prototype, QVariant(),
                  QStringLiteral("CONCILIACION DE NOVEDADES"));
    number = 101;
    for (int code : company.leviesPositions)
        parameter(number++, "PF", QVariant(), QString::fromUtf8(position(QString::number(code)).name),
                  QVariant(), QVariant(), code, QStringLiteral("CARGOS DEL INFORME DE PARAFISCALES"));
    number = 201;
    for (int code : company.humanManagementClasses)
        parameter(number++, "GH", QVariant(), QString::fromUtf8(payrollClasses()[std::size_t(code - 1)].name),
                  QVariant(), QVariant(), code, QStringLiteral("GESTION HUMANA"));

    for (const Requirement& requirement : requirements()) {
        m_w->requi.add({e, letter(requirement.registry), letter(requirement.application), requirement.code,
                        QString::fromUtf8(requirement.name)});
        for (std::size_t i = 0; i < requirement.specialities.size(); ++i)
            m_w->espec.add({e, letter(requirement.registry), letter(requirement.application),
                            requirement.code, int(i + 1), QString::fromUtf8(requirement.specialities[i])});
    }
    if (company.staffing)
        for (const SelectionGroup& group : selectionGroups())
            m_w->grsel.add({e, QString::fromLatin1(group.code), QString::fromUtf8(group.description)});
    for (const Account& account : accounts())
        m_w->cuent.add(
            {e, QString::fromLatin1(account.code), QString::fromUtf8(account.name), letter(account.nature)});
}

// ---------------------------------------------------------------------------------------------------------
// People and contracts

double DemoBuilder::uniqueId(double low, double high, DemoRandom& rng) {
    const int span = int(high - low);
    for (;;) {
        const double id = low + double(rng.between(0, span));
        if (m_ids.insert(id).second)
            return id;
    }
}

Person DemoBuilder::makePerson(const Job& job, DemoRandom& rng, int index) {
    Person person;
    const QString code = QString::fromLatin1(job.position);
    switch (job.kind) {
    case JobKind::Driver:
        person.sex = rng.chance(0.92) ? 'M' : 'F';
        break;
    case JobKind::Administrative:
        person.sex = rng.chance(0.4) ? 'M' : 'F';
        break;
    default:
        person.sex = rng.chance(0.5) ? 'M' : 'F';
        break;
    }
    int age;
    if (job.kind == JobKind::Apprentice)
        age = rng.between(17, 22);
    else if (code == QLatin1String("101"))
        age = rng.between(42, 60);
    else
        age = rng.chance(0.7) ? rng.between(20, 45) : rng.between(46, 60);
    person.birth = QDate(2026 - age, 1, 1).addDays(rng.between(0, 364));

    if (age < 18)
        person.document = 'T';
    else if (rng.chance(0.03))
        person.document = 'E';
    if (person.document == 'E')
        person.id = uniqueId(100000, 999999, rng);
    else if (person.birth.year() >= 1984)
        person.id = uniqueId(1000000000, 1150000000, rng);
    else if (person.sex == 'M')
        person.id = uniqueId(70000000, 98999999, rng);
    else
        person.id = uniqueId(21000000, 52999999, rng);

    const auto& names = person.sex == 'M' ? maleNames() : femaleNames();
    person.names = QString::fromUtf8(rng.pick(names));
    if (rng.chance(0.35)) {
        const QString second = QString::fromUtf8(rng.pick(names));
        if (second != person.names)
            person.names += u' ' + second;
    }
    const QString first = QString::fromUtf8(rng.pick(surnames()));
    person.surnames = first;
    if (rng.chance(0.97)) {
        QString second = QString::fromUtf8(rng.pick(surnames()));
        if (second == first)
            second = QString::fromUtf8(surnames()[std::size_t(index) % surnames().size()]);
        person.surnames += u' ' + second;
    }

    const double civil = rng.unit();
    if (job.kind == JobKind::Apprentice)
        person.civilStatus = civil < 0.9 ? 'S' : 'U';
    else if (civil < 0.38)
        person.civilStatus = 'S';
    else if (civil < 0.63)
        person.civilStatus = 'C';
    else if (civil < 0.88)
        person.civilStatus = 'U';
    else if (civil < 0.94)
        person.civilStatus = 'D';
    else if (civil < 0.97)
        person.civilStatus = 'V';
    else if (civil < 0.99)
        person.civilStatus = 'O';
    else
        person.civilStatus = 0;

    switch (job.kind) {
    case JobKind::Administrative:
        person.grade = QStringLiteral("11");
        if (code == QLatin1String("101") || code == QLatin1String("102") || code == QLatin1String("103") ||
            code == QLatin1String("107"))
            person.academic = 'R';
        else if (code == QLatin1String("104") || code == QLatin1String("105"))
            person.academic = rng.chance(0.5) ? 'G' : 'T';
        else
            person.academic = rng.chance(0.5) ? 'T' : 'B';
        break;
    case JobKind::Apprentice:
        person.grade = QStringLiteral("11");
        person.academic = 'T';
        break;
    default:
        person.grade = QStringLiteral("%1").arg(rng.between(5, 11), 2, 10, QLatin1Char('0'));
        person.academic = rng.chance(0.2) ? 'T' : 'B';
        break;
    }
    return person;
}

void DemoBuilder::planContract(Contract& contract, const Company& company, DemoRandom& rng, int index,
                               bool quotaHire, bool quotaLeave) {
    const Job& job = *contract.job;
    const Position& position = demo::position(QString::fromLatin1(job.position));
    const Person& person = m_people[std::size_t(contract.person)];
    const QDate lastDay = DemoGenerator::lastDay();

    if (contract.hired.isNull()) {
        if (quotaHire)
            contract.hired = randomDay(rng, QDate(2026, 10, 1), QDate(2026, 12, 18));
        else if (job.kind == JobKind::Apprentice)
            contract.hired = randomDay(rng, QDate(2024, 6, 3), QDate(2026, 12, 15));
        else {
            const double r = rng.unit();
            if (r < 0.22)
                contract.hired = randomDay(rng, QDate(2025, 1, 2), QDate(2026, 12, 18));
            else if (r < 0.62)
                contract.hired = randomDay(rng, QDate(2018, 1, 8), QDate(2024, 12, 20));
            else
                contract.hired = randomDay(rng, QDate(2004, 2, 2), QDate(2017, 12, 15));
        }
        contract.hired =
            std::max(contract.hired, person.birth.addYears(job.kind == JobKind::Apprentice ? 16 : 18));
        if (contract.hired > QDate(2026, 12, 18))
            contract.hired = QDate(2026, 12, 18);

        QDate earliest = std::max(contract.hired.addDays(30), QDate(2025, 1, 10));
        if (quotaLeave)
            earliest = std::max(contract.hired.addDays(20), QDate(2026, 10, 1));
        if ((quotaLeave || rng.chance(0.16)) && earliest <= QDate(2026, 12, 28))
            contract.left = randomDay(rng, earliest, QDate(2026, 12, 28));
    }

    if (job.kind == JobKind::Apprentice) {
        contract.type = 'S';
        contract.expires = contract.hired.addMonths(12).addDays(-1);
        if (contract.expires <= lastDay && (contract.left.isNull() || contract.left > contract.expires))
            contract.left = contract.expires;
    } else {
        contract.type = rng.chance(job.indefiniteShare) ? 'I' : 'F';
        if (contract.type == 'F') {
            const int term = rng.chance(0.3) ? 6 : 12;
            const QDate reference = contract.left.isNull() ? QDate(2026, 10, 1) : contract.left;
            if (!contract.left.isNull() && rng.chance(0.5)) {
                contract.expires = contract.left;
            } else {
                for (int n = 1;; ++n) {
                    contract.expires = contract.hired.addMonths(n * term).addDays(-1);
                    if (contract.expires >= reference)
                        break;
                }
            }
        }
    }
    contract.state = contract.left.isNull() ? 'A' : (rng.chance(0.8) ? 'I' : 'R');

    const double minimum = minimumSalary(2026);
    if (job.kind == JobKind::Apprentice) {
        contract.salary2026 = minimum;
        contract.storedSalary = minimum;
    } else {
        const double low = position.salaryLow > 0 ? position.salaryLow : minimum;
        const double high = position.salaryHigh > 0 ? position.salaryHigh : minimum;
        contract.salary2026 = std::max(minimum, roundTo(low + rng.unit() * (high - low), 10000));
        if (high <= minimum)
            contract.salary2026 = minimum;
        contract.storedSalary = contract.salary2026;
        if (contract.salary2026 == minimum && company.staffing && rng.chance(0.2))
            contract.storedSalary = 0;
    }
    if (job.kind == JobKind::Driver) {
        contract.processGroup = kDriversPrototype;
        const double r = rng.unit();
        contract.driverType = r < 0.15 ? '1' : r < 0.5 ? '2' : r < 0.75 ? '3' : r < 0.85 ? '4' : '5';
        contract.baseService = rng.between(1, int(services().size()));
    }
    contract.uid =
        demoHash({m_seed, std::uint64_t(company.code), std::uint64_t(index), std::uint64_t(contract.number)});
}

void DemoBuilder::planCompany(const Company& company) {
    m_people.clear();
    m_contracts.clear();
    m_ids.clear();
    m_ledger = LedgerFeed{};
    m_commissionNumber = 0;

    DemoRandom rng(demoHash({m_seed, std::uint64_t(company.code), 1}));
    const int count = company.employeesPerScale * m_scale;
    std::vector<int> counters(company.roles.size(), 0);
    m_people.reserve(std::size_t(count));
    m_contracts.reserve(std::size_t(count + count / 8));
    for (int k = 0; k < count; ++k) {
        const std::size_t roleIndex =
            std::size_t(company.rolePattern[std::size_t(k) % company.rolePattern.size()]);
        const Role& role = company.roles[roleIndex];
        const std::size_t n = std::size_t(counters[roleIndex]++);
        const Job& job = n < role.leading.size() ? role.leading[n]
                                                 : role.cycle[(n - role.leading.size()) % role.cycle.size()];
        m_people.push_back(makePerson(job, rng, k));

        Contract first;
        first.person = k;
        first.employee = m_people.back().id;
        first.job = &job;
        planContract(first, company, rng, k, k % 25 == 11, k % 25 == 17);
        m_contracts.push_back(first);

        // Some who left during 2025 came back; a few hold a second contract in another position.
        if (first.state != 'A' && first.left < QDate(2025, 10, 1) && !first.isApprentice() &&
            rng.chance(0.3)) {
            Contract again;
            again.person = k;
            again.employee = first.employee;
            again.number = 2;
            again.job = &job;
            again.hired = first.left.addDays(rng.between(30, 150));
            planContract(again, company, rng, k, false, false);
            m_contracts.push_back(again);
        } else if (k % 97 == 41 && first.state == 'A' && !first.isApprentice()) {
            const Job* other = &job;
            for (const Job& candidate : role.cycle)
                if (candidate.payrollClass == job.payrollClass &&
                    QLatin1String(candidate.position) != QLatin1String(job.position)) {
                    other = &candidate;
                    break;
                }
            Contract second;
            second.person = k;
            second.employee = first.employee;
            second.number = 2;
            second.job = other;
            second.hired = randomDay(rng, QDate(2025, 3, 1), QDate(2026, 11, 30));
            planContract(second, company, rng, k, false, false);
            m_contracts.push_back(second);
        }
    }
    std::sort(m_contracts.begin(), m_contracts.end(), [](const Contract& a, const Contract& b) {
        return a.employee != b.employee ? a.employee < b.employee : a.number < b.number;
    });
    for (std::size_t i = 0; i < m_contracts.size(); ++i)
        planSchedules(m_contracts[i], int(i));
}

void DemoBuilder::planSchedules(Contract& contract, int index) {
    DemoRandom rng(demoHash({m_seed, contract.uid, 2}));
    const QDate windowStart = DemoGenerator::firstDay();
    const QDate lastDay = DemoGenerator::lastDay();

    const int yearsBefore = contract.hired < windowStart ? int(contract.hired.daysTo(windowStart) / 365) : 0;
    int number = yearsBefore + 1;
    for (int year = 2025; year <= 2026; ++year) {
        const QDate eligible = contract.hired.addYears(1);
        QDate from = std::max(QDate(year, 1, 8), eligible);
        QDate to(year, 12, 10);
        if (year == 2026 && index % 10 == 3)
            from = std::max(QDate(2026, 9, 22), eligible);
        else if (rng.chance(0.15))
            continue;
        if (from > to || contract.isApprentice())
            continue;
        const QDate start = randomDay(rng, from, to);
        const QDate end = start.addDays(20);
        if (!contract.left.isNull() && end > contract.left)
            continue;
        contract.vacations.push_back({start, end, number++});
    }

    for (int year = 2025; year <= 2026; ++year) {
        int count = rng.chance(0.18) ? (rng.chance(0.25) ? 2 : 1) : 0;
        const bool quota = year == 2026 && index % 12 == 5;
        for (int i = 0; i < count + (quota ? 1 : 0); ++i) {
            const bool inQuota = quota && i == count;
            QDate from = std::max(QDate(year, 1, 2), contract.hired);
            QDate to(year, 12, 28);
            if (inQuota) {
                from = std::max(QDate(2026, 9, 25), contract.hired);
                to = QDate(2026, 12, 20);
            }
            if (!contract.left.isNull())
                to = std::min(to, contract.left);
            if (from > to)
                continue;
            const QDate start = randomDay(rng, from, to);
            const double r = rng.unit();
            const int length = r < 0.7    ? rng.between(1, 5)
                               : r < 0.95 ? rng.between(6, 20)
                                          : rng.between(30, 90);
            QDate end = start.addDays(length - 1);
            if (!contract.left.isNull())
                end = std::min(end, contract.left);
            end = std::min(end, lastDay);
            contract.sickLeaves.push_back({start, end, 0});
        }
    }
    std::sort(contract.sickLeaves.begin(), contract.sickLeaves.end(),
              [](const Span& a, const Span& b) { return a.from < b.from; });
    for (std::size_t i = 0; i < contract.sickLeaves.size(); ++i)
        contract.sickLeaves[i].number = int(i + 1);

    if (!contract.isApprentice()) {
        const auto debtStart = [&](QDate& start, QDate earliest = QDate(2025, 1, 15)) {
            QDate from = std::max(contract.hired.addDays(60), earliest);
            QDate to(2026, 11, 30);
            if (!contract.left.isNull())
                to = std::min(to, contract.left);
            if (from > to)
                return false;
            start = fortnightEnd(randomDay(rng, from, to));
            return true;
        };
        QDate start;
        if (rng.chance(0.12) && debtStart(start)) {
            const double amount = roundTo(contract.salary2026 * (0.5 + 2.5 * rng.unit()), 50000);
            const double instalment = std::ceil(amount / rng.between(6, 24) / 1000.0) * 1000.0;
            contract.debts.push_back({51, start, amount, instalment, amount});
            const int month = (start.year() - 2025) * 12 + start.month() - 1;
            m_ledger.loansGranted[std::size_t(month)] += amount;
        }
        if (rng.chance(0.08) && debtStart(start)) {
            const double instalment = round1000(150000 + 450000 * rng.unit());
            const double amount = instalment * rng.between(12, 60);
            contract.debts.push_back({52, start, amount, instalment, amount});
        }
        // Every fortieth contract carries a garnishment still running at the end of the window.
        const bool garnished = index % 40 == 7;
        if ((rng.chance(0.03) || garnished) &&
            debtStart(start, garnished ? QDate(2026, 3, 1) : QDate(2025, 1, 15))) {
            // Withheld each fortnight: a tenth of the monthly salary a month.
            const double amount = roundTo(2000000 + 6000000 * rng.unit(), 10000);
            contract.debts.push_back({50, start, amount, round1000(contract.salary2026 * 0.05), amount});
        }
        std::sort(contract.debts.begin(), contract.debts.end(), [](const Debt& a, const Debt& b) {
            return a.start != b.start ? a.start < b.start : a.conceptCode < b.conceptCode;
        });

        const double serviceDays =
            contract.hired < windowStart ? double(contract.hired.daysTo(windowStart)) : 0;
        const double accrued = serviceDays / 360.0 * 15.0;
        double pending = std::fmod(accrued, 15.0) + (accrued >= 15.0 ? rng.between(0, 15) : 0);
        contract.pendingVacationDays = std::round(pending * 100.0) / 100.0;
    }
}

void DemoBuilder::writePeople(const Company& company) {
    const int e = company.code;
    std::vector<std::size_t> order(m_people.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [this](std::size_t a, std::size_t b) { return m_people[a].id < m_people[b].id; });
    for (std::size_t i : order) {
        const Person& p = m_people[i];
        m_w->emple.add({e, p.id, p.names, p.surnames, letter(p.sex), letter(p.civilStatus),
                        letter(p.document), day(p.birth), p.grade, letter(p.academic)});
    }

    double lastDriver = -1;
    for (const Contract& c : m_contracts) {
        const Job& job = *c.job;
        m_w->contr.add({e, c.employee, c.number, job.costCentre, QString::fromLatin1(job.position),
                        job.payrollClass, letter(c.type), letter(c.state), day(c.hired), day(c.left),
                        day(c.expires), c.storedSalary, c.processGroup, job.level1, 1, 1, job.workCentre});
        if (c.isDriver() && c.employee != lastDriver) {
            m_w->cdtor.add({e, c.employee, letter(c.driverType), c.baseService});
            lastDriver = c.employee;
        }
    }
    for (const Contract& c : m_contracts)
        for (const Span& v : c.vacations)
            m_w->vacac.add({e, c.employee, c.number, v.number, day(v.from), day(v.to), 15.0});
    for (const Contract& c : m_contracts)
        for (const Span& s : c.sickLeaves)
            m_w->incap.add(
                {e, c.employee, c.number, s.number, day(s.from), day(s.to), double(s.from.daysTo(s.to) + 1)});
}

// ---------------------------------------------------------------------------------------------------------
// Whole-window tables

void DemoBuilder::writeNovelties(const Company& company) {
    double employee = -1;
    int number = 0;
    for (const Contract& c : m_contracts) {
        if (c.employee != employee) {
            employee = c.employee;
            number = 0;
        }
        for (const Debt& debt : c.debts)
            m_w->noved.add({company.code, c.employee, ++number, c.number, debt.conceptCode, day(debt.start),
                            debt.amount, debt.balance});
    }
}

void DemoBuilder::writeSettlementDocuments(const Company& company) {
    for (std::size_t i = 0; i < entities().size(); ++i) {
        const Entity& entity = entities()[i];
        for (int m = 0; m < kMonths; ++m) {
            const double u = unit(std::uint64_t(company.code), i, std::uint64_t(m), 'D');
            double difference = 0;
            if (m == 0 || (m > 1 && u < 0.25))
                difference = roundTo(1000 + 449000 * unit(company.code, i, m, 'P'), 100);
            else if (m == 1 || u < 0.45)
                difference = -roundTo(1000 + 299000 * unit(company.code, i, m, 'N'), 100);
            const int period = (2025 + m / 12) * 100 + m % 12 + 1;
            m_w->cinca.add({company.code, QString::fromLatin1(entity.type), QString::fromLatin1(entity.code),
                            period, day(monthEnd(m)), difference});
        }
    }
}

void DemoBuilder::writeLedger(const Company& company) {
    using Series = std::array<double, kMonths>;
    const auto sum = [this](std::initializer_list<int> codes) {
        Series series{};
        for (int m = 0; m < kMonths; ++m)
            for (int code : codes)
                series[std::size_t(m)] += m_ledger.concepts[std::size_t(m)][std::size_t(code)];
        return series;
    };
    Series net{};
    for (const Concept& item : concepts())
        for (int m = 0; m < kMonths; ++m) {
            const double value = m_ledger.concepts[std::size_t(m)][std::size_t(item.code)];
            if (item.type == 'I')
                net[std::size_t(m)] += value;
            else if (item.type == 'E')
                net[std::size_t(m)] -= value;
        }

    struct Flow {
        Series debit{};
        Series credit{};
        double opening = 0; // on the account's own side
    };
    // Liabilities settled the month after they arise; now and then the payment differs slightly.
    const auto lagged = [&](const Series& amount, const char* account) {
        Flow flow;
        flow.opening = amount[0];
        for (int m = 0; m < kMonths; ++m) {
            const std::size_t i = std::size_t(m);
            flow.credit[i] = amount[i];
            double paid = m == 0 ? flow.opening : amount[i - 1];
            if (unit(company.code, demoHash({std::uint64_t(QByteArray(account).toLongLong())}), m, 'L') < 0.2)
                paid = std::round(paid * 0.995);
            flow.debit[i] = paid;
        }
        return flow;
    };
    Series levies{};
    Series loans{};
    for (int m = 0; m < kMonths; ++m) {
        levies[std::size_t(m)] = m_ledger.levies[std::size_t(m)];
        loans[std::size_t(m)] = m_ledger.loansGranted[std::size_t(m)];
    }
    Series other{};
    for (int m = 0; m < kMonths; ++m)
        other[std::size_t(m)] = std::round(net[std::size_t(m)] * 0.002);

    std::map<QString, Flow> flows;
    flows["136595"] = Flow{loans, sum({51}), 0};
    flows["237005"] = lagged(sum({10, 70}), "237005");
    flows["237006"] = lagged(sum({72}), "237006");
    flows["237010"] = lagged(levies, "237010");
    flows["237025"] = lagged(sum({50}), "237025");
    flows["237030"] = lagged(sum({52}), "237030");
    flows["237095"] = lagged(other, "237095");
    flows["238030"] = lagged(sum({11, 12, 71}), "238030");
    {
        // Salaries payable: each month accrues its net payroll and pays all of it but the second
        // fortnight, which is paid at the start of the next month.
        Flow flow;
        const auto& unpaid = m_ledger.secondRunNet;
        flow.opening = unpaid[0];
        for (int m = 0; m < kMonths; ++m) {
            const std::size_t i = std::size_t(m);
            flow.credit[i] = net[i];
            flow.debit[i] = net[i] - unpaid[i] + (m == 0 ? unpaid[0] : unpaid[i - 1]);
        }
        flows["250505"] = flow;
    }
    flows["251005"] = Flow{sum({21, 22}), sum({41, 43}), 0};
    flows["252005"] = Flow{sum({20}), sum({40}), 0};
    flows["252505"] = Flow{sum({30, 31}), sum({42}), 0};
    flows["510506"] = Flow{sum({1, 7}), Series{}, 0};
    flows["510515"] = Flow{sum({3, 4, 5}), Series{}, 0};
    flows["510527"] = Flow{sum({2}), Series{}, 0};

    const auto natureOf = [](const QString& code) {
        for (const Account& account : accounts())
            if (code == QLatin1String(account.code))
                return account.nature;
        return 'C';
    };
    for (int year = 2025; year <= 2026; ++year) {
        for (int month = 0; month <= 12; ++month) {
            for (const auto& [code, flow] : flows) {
                const char nature = natureOf(code);
                double debit = 0;
                double credit = 0;
                if (month == 0) {
                    if (code.startsWith(u'5'))
                        continue; // results start every year from nothing
                    double balance = flow.opening;
                    if (year == 2026)
                        for (int m = 0; m < 12; ++m)
                            balance += nature == 'C'
                                           ? flow.credit[std::size_t(m)] - flow.debit[std::size_t(m)]
                                           : flow.debit[std::size_t(m)] - flow.credit[std::size_t(m)];
                    // A balance on the account's own side, or on the other side when it turned over.
                    const bool ownSide = balance >= 0;
                    if ((nature == 'C') == ownSide)
                        credit = std::abs(balance);
                    else
                        debit = std::abs(balance);
                } else {
                    const std::size_t i = std::size_t((year - 2025) * 12 + month - 1);
                    debit = std::round(flow.debit[i]);
                    credit = std::round(flow.credit[i]);
                }
                if (debit == 0 && credit == 0)
                    continue;
                m_w->saldo.add({company.code, year, month, code, std::round(debit), std::round(credit)});
            }
        }
    }
}

void DemoBuilder::writeStaffingPlan(const Company& company) {
    std::vector<const Contract*> active;
    for (const Contract& c : m_contracts)
        if (c.state == 'A')
            active.push_back(&c);
    std::sort(active.begin(), active.end(), [](const Contract* a, const Contract* b) {
        const int byPosition = qstrcmp(a->job->position, b->job->position);
        return byPosition != 0
                   ? byPosition < 0
                   : (a->employee != b->employee ? a->employee < b->employee : a->number < b->number);
    });
    int number = 0;
    for (const Contract* c : active)
        m_w->plant.add(
            {company.code, ++number, QString::fromLatin1(c->job->position), c->job->costCentre, c->employee});

    // Vacant posts (employee 0) in the positions the company staffs.
    std::vector<const Contract*> firstOfPosition;
    for (const Contract* c : active)
        if (firstOfPosition.empty() || qstrcmp(firstOfPosition.back()->job->position, c->job->position) != 0)
            firstOfPosition.push_back(c);
    for (std::size_t i = 0; i < firstOfPosition.size(); ++i) {
        const double u = unit(company.code, i, 'V');
        int vacancies = u < 0.45 ? 1 : u < 0.55 ? 2 : 0;
        if (i < 3)
            vacancies = std::max(vacancies, 1);
        for (int v = 0; v < vacancies * m_scale; ++v)
            m_w->plant.add({company.code, ++number, QString::fromLatin1(firstOfPosition[i]->job->position),
                            firstOfPosition[i]->job->costCentre, 0.0});
    }
}

void DemoBuilder::writeSelection(const Company& company) {
    const int e = company.code;
    DemoRandom rng(demoHash({m_seed, std::uint64_t(e), 7}));
    const auto& groups = selectionGroups();

    std::map<int, std::vector<const Contract*>> activeByCentre;
    for (const Contract& c : m_contracts)
        if (c.state == 'A')
            activeByCentre[c.job->costCentre].push_back(&c);

    // The outcome of successive applicants cycles through every pair of state and decision the
    // requisition report distinguishes, plus a few it ignores.
    static const char* const outcomes[] = {"EE", "SE", "NN", "ES", "SS", "NN", "SE",
                                           "EE", "NE", "EN", "PE", "SE", "NN"};
    constexpr std::size_t outcomeCount = sizeof(outcomes) / sizeof(outcomes[0]);
    std::size_t applicantCount = 0;

    std::map<double, Person> applicants;
    std::vector<double> earlier;
    int sequence = 0;
    for (int m = 0; m < kMonths; ++m) {
        const int requisitions = 2 * m_scale + (m >= 21 ? 3 * m_scale : 0);
        for (int r = 0; r < requisitions; ++r) {
            const double g = rng.unit();
            const SelectionGroup& group = groups[g < 0.35 ? 0 : g < 0.7 ? 1 : g < 0.85 ? 2 : 3];
            const QString code = QStringLiteral("RQ%1").arg(++sequence, 6, 10, QLatin1Char('0'));
            const QDate requested = randomDay(rng, monthStart(m), monthEnd(m));
            std::vector<const char*> asked{rng.pick(group.positions)};
            if (rng.chance(0.1)) {
                const char* second = rng.pick(group.positions);
                if (qstrcmp(second, asked.front()) != 0)
                    asked.push_back(second);
            }
            for (const char* positionCode : asked) {
                const Position& position = demo::position(QString::fromLatin1(positionCode));
                const int places = rng.between(1, 8);
                const int covered = rng.between(0, places);
                const double low = position.salaryLow > 0 ? position.salaryLow : minimumSalary(2026);
                const double high = position.salaryHigh > 0 ? position.salaryHigh : minimumSalary(2026);
                const double offered =
                    rng.chance(0.15) ? 0.0 : roundTo(low + rng.unit() * (high - low), 10000);
                m_w->reqpe.add({e, QString::fromLatin1(group.code), code, QString::fromLatin1(positionCode),
                                group.costCentre, day(requested), places, covered, offered});

                const JobKind kind =
                    positionCode[0] == '1'              ? JobKind::Administrative
                    : qstrcmp(positionCode, "401") == 0 ? JobKind::Apprentice
                    : (qstrcmp(positionCode, "301") == 0 || qstrcmp(positionCode, "302") == 0)
                        ? JobKind::Driver
                        : JobKind::Operative;
                const Job asJob{positionCode, 2, group.costCentre, 1, 0, 0, kind, 0};
                std::set<double> seen;
                const int count = rng.between(3, 7);
                for (int a = 0; a < count; ++a) {
                    const char* outcome = outcomes[applicantCount++ % outcomeCount];
                    double id = 0;
                    if (qstrcmp(outcome, "SE") == 0) {
                        const auto& candidates = activeByCentre[group.costCentre];
                        for (int attempt = 0; attempt < 4 && id == 0 && !candidates.empty(); ++attempt) {
                            const Contract* hired = rng.pick(candidates);
                            if (!seen.count(hired->employee)) {
                                id = hired->employee;
                                applicants.emplace(id, m_people[std::size_t(hired->person)]);
                            }
                        }
                    }
                    if (id == 0 && !earlier.empty() && rng.chance(0.15)) {
                        const double again = rng.pick(earlier);
                        if (!seen.count(again))
                            id = again;
                    }
                    if (id == 0) {
                        Person person = makePerson(asJob, rng, int(applicantCount));
                        id = person.id;
                        applicants.emplace(id, person);
                        earlier.push_back(id);
                    }
                    seen.insert(id);
                    m_w->incoa.add({e, QString::fromLatin1(group.code), code,
                                    QString::fromLatin1(positionCode), id, letter(outcome[0]),
                                    letter(outcome[1])});
                }
            }

            // Requirements of the requisition: education (the report's), now and then experience too.
            static const std::vector<std::pair<int, int>> byFamily[] = {
                {{3, 1}, {3, 2}, {3, 3}, {3, 4}, {2, 2}, {2, 4}}, // 1xx administration
                {{1, 1}, {1, 2}, {2, 1}, {4, 3}, {4, 4}},         // 2xx production
                {{1, 1}, {2, 3}, {4, 1}, {4, 2}},                 // 3xx transport
                {{1, 1}, {1, 2}},                                 // 4xx apprentices
                {{1, 1}, {2, 2}},                                 // 5xx commerce
            };
            const auto& options = byFamily[std::clamp(asked.front()[0] - '1', 0, 4)];
            std::set<std::tuple<char, int, int>> wanted;
            const int educational = rng.chance(0.25) ? 0 : rng.between(1, 2);
            for (int i = 0; i < educational; ++i) {
                const auto& [requirement, speciality] = rng.pick(options);
                wanted.insert({'E', requirement, speciality});
            }
            if (rng.chance(0.6))
                wanted.insert({'X', 10, rng.between(1, 4)});
            for (const auto& [registry, requirement, speciality] : wanted)
                m_w->reqpf.add({e, QString::fromLatin1(group.code), code, letter(registry), letter('C'),
                                requirement, speciality});
        }
    }
    for (const auto& [id, p] : applicants)
        m_w->rlEmple.add(
            {e, id, letter(p.document), p.surnames, p.names, day(p.birth), letter(p.sex), p.grade});
}

} // namespace demo
