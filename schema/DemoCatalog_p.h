// DemoCatalog: the fixed vocabulary of the demo database: names, territory, concepts, prototypes,
// positions, the four companies and the jobs their people hold. The generator combines these with its
// seeded randomness; nothing here depends on the seed or the scale.
#pragma once

#include <QString>
#include <vector>

namespace demo {

struct Concept {
    int code;
    const char* name;
    char type; // I income, E deduction, P provision, O informative
};

struct Prototype {
    int code;
    const char* name;
    std::vector<int> concepts;
};

// A position; a salary band of 0..0 pays the legal minimum, a low end of 0 starts at it.
struct Position {
    const char* code;
    const char* name;
    double salaryLow;
    double salaryHigh;
};

struct Coded {
    int code;
    const char* name;
};

struct TreeNode {
    int code;
    int level;
    int parent;
    const char* name;
};

struct WorkCentre {
    int code;
    const char* name;
    double atep;
};

struct Provider {
    int code;
    const char* name;
    char state;
};

struct Place {
    int country;
    int department;
    int municipality;
    int locality;
    const char* name;
};

struct Entity {
    const char* type; // EPS, ARP, AFP
    const char* code;
};

struct Account {
    const char* code;
    const char* name;
    char nature;
};

struct Requirement {
    char registry;    // E education, X experience
    char application; // C position
    int code;
    const char* name;
    std::vector<const char*> specialities; // numbered from 1
};

enum class JobKind { Administrative, Operative, Driver, Apprentice };

// What one employee does: position, payroll class, cost centre, work centre, organisation units, the
// share of indefinite contracts among those hired for it.
struct Job {
    const char* position;
    int payrollClass;
    int costCentre;
    int workCentre;
    int level1;
    int level2;
    JobKind kind;
    double indefiniteShare;
};

// A group of jobs: the first members take the leading jobs in order (one general manager per group),
// later members cycle through the others.
struct Role {
    std::vector<Job> leading;
    std::vector<Job> cycle;
};

// A parameter row of the management reports (NM_PRTGE) of kind CN.
struct NoveltyParameter {
    const char* type;
    const char* name;
    const char* account;
    int prototype;
};

struct Company {
    int code;
    const char* name;
    double nit;
    int department;
    int municipality; // -1: none recorded
    const char* initials;
    unsigned colour; // logo background, 0xRRGGBB
    int employeesPerScale;
    bool staffing; // sends workers to the user companies
    std::vector<Coded> costCentres;
    std::vector<TreeNode> tree;
    std::vector<Role> roles;
    std::vector<int> rolePattern; // role of the k-th employee: rolePattern[k % size]
    int levySena, levyIcbf, levyFamily;
    std::vector<int> humanManagementClasses;
    std::vector<int> leviesPositions;
    std::vector<NoveltyParameter> novelties;
};

// Selection group of the staffing company; userCompany 0 for its own vacancies.
struct SelectionGroup {
    const char* code;
    const char* description;
    int costCentre;
    int userCompany;
    std::vector<const char*> positions;
};

const std::vector<const char*>& maleNames();
const std::vector<const char*>& femaleNames();
const std::vector<const char*>& surnames();
const std::vector<Place>& places();
const std::vector<Concept>& concepts();
const std::vector<Prototype>& prototypes();
const std::vector<Position>& positions();
const std::vector<Coded>& payrollClasses();
const std::vector<WorkCentre>& workCentres();
const std::vector<Provider>& providers();
const std::vector<Coded>& services();
const std::vector<Entity>& entities();
const std::vector<Account>& accounts();
const std::vector<Requirement>& requirements();
const std::vector<Company>& companies();
const std::vector<SelectionGroup>& selectionGroups();

const Position& position(const QString& code);

// Legal minimum monthly salary and transport allowance of a year (the data window and the year before).
double minimumSalary(int year);
double transportAllowance(int year);

// Country code of the territory rows.
constexpr int kColombia = 170;

// Prototype that drivers' contracts carry as their process group, and the one the others carry.
constexpr int kDriversPrototype = 7;
constexpr int kGeneralPrototype = 1;

} // namespace demo
