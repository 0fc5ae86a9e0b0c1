// Strict decimal conversion of the resize texts: an optional sign and one or more ASCII digits, nothing
// else (no blanks, no hexadecimal prefix, no thousands separators), within the 32-bit range.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

std::optional<int32_t> DecimalEstricto(const QString& text);
