// Soak: every report run two hundred times in one process, as a desktop session of a whole day would, with
// resident memory flat once the first rounds have warmed the caches (fonts, statements, pictures). A leak of
// a few kilobytes per report shows over the last hundred and fifty rounds.
#include "PayrollFixture.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace reportfixture;

namespace {

long residentKb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toLong() * 4;
}

TEST(Soak, EveryReportTwoHundredTimesInFlatMemory) {
    constexpr int kRounds = 200, kWarmUp = 50;
    constexpr long kAllowedGrowthKb = 8 * 1024;
    const std::vector<Scenario> scenarios = comparisonScenarios();
    long afterWarmUp = 0;
    QStringList curve;
    for (int round = 1; round <= kRounds; ++round) {
        for (const Scenario& s : scenarios) {
            ReportRun run(sqliteParams());
            s.run(run);
            ASSERT_FALSE(run.lastReport().isEmpty()) << s.name.toStdString();
        }
        // The curve's ends: how the caches warm up, and whether the last rounds still grow.
        if (round <= 10 || round == kWarmUp || round == 100 || round > kRounds - 10)
            curve << QStringLiteral("%1: %2 KB").arg(round).arg(residentKb());
        if (round == kWarmUp)
            afterWarmUp = residentKb();
    }
    const long growth = residentKb() - afterWarmUp;
    std::printf("memoria residente por ronda: %s\n", qPrintable(curve.join(QStringLiteral(", "))));
    EXPECT_LT(growth, kAllowedGrowthKb) << "grew " << growth << " KB in " << kRounds - kWarmUp << " rounds of "
                                        << scenarios.size() << " reports";
}

} // namespace
