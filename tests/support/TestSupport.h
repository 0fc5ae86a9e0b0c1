// Helpers shared by the tests: a pinned locale, temporary files and the PostgreSQL server of the run.
#pragma once

#include <QString>

namespace testsupport {

// Pins FormatSettings::global() to the Colombian defaults (dd/MM/yyyy, "$", "," decimals, "." thousands).
void pinFormatSettings();

// A new path in a temporary directory that lives until the process ends.
QString tempPath(const QString& fileName);

// The PostgreSQL URL of the test run (VNMRTGEN_PG_URL), or empty when none is configured. When
// VNMRTGEN_REQUIRE_PG is set, a missing URL fails the calling test instead of skipping it.
QString postgresUrl();

} // namespace testsupport

// Skips the test (or fails it when VNMRTGEN_REQUIRE_PG is set) when no PostgreSQL server is configured.
#define VN_REQUIRE_POSTGRES(url)                                                                        \
    const QString url = testsupport::postgresUrl();                                                     \
    if (url.isEmpty()) {                                                                                \
        if (qEnvironmentVariableIsSet("VNMRTGEN_REQUIRE_PG"))                                           \
            FAIL() << "VNMRTGEN_REQUIRE_PG is set but VNMRTGEN_PG_URL is empty";                         \
        GTEST_SKIP() << "no PostgreSQL server configured (VNMRTGEN_PG_URL)";                            \
    }

#include <ostream>
// Readable QString values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
