// Helpers shared by the tests: a pinned locale, temporary files, the PostgreSQL server of the run and the
// message of an expected error.
#pragma once

#include "GeneralError.h"

#include <QString>
#include <QVariant>

namespace testsupport {

// Pins FormatSettings::global() to the Colombian defaults (dd/MM/yyyy, "$", "," decimals, "." thousands).
void pinFormatSettings();

// A new path in a temporary directory that lives until the process ends.
QString tempPath(const QString& fileName);

// The PostgreSQL URL of the test run (VNMRTGEN_PG_URL), or empty when none is configured. When
// VNMRTGEN_REQUIRE_PG is set, a missing URL fails the calling test instead of skipping it.
QString postgresUrl();

// The message of the GeneralError that f throws, or a marker when it throws none.
template <class F> QString errorOf(F&& f) {
    try {
        f();
    } catch (const GeneralError& e) {
        return e.message();
    }
    return QStringLiteral("<sin error>");
}

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
// Readable Qt values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QVariant& v, std::ostream* os) {
    if (!v.isValid())
        *os << "null";
    else
        *os << v.typeName() << '(' << v.toString().toStdString() << ')';
}
