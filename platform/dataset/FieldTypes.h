// Enumerations shared by the data-access layer.
#pragma once

#include <QFlags>

enum class TFieldType {
    ftUnknown,
    ftSmallint,  // 16-bit signed integer
    ftInteger,   // 32-bit signed integer
    ftLargeint,  // 64-bit signed integer (counts returned by some servers)
    ftFloat,     // double
    ftString,    // text of at most Size characters; longer text is cut
    ftFixedChar, // text of Size characters as a CHAR(n) column; trailing blanks carry no meaning
    ftDateTime,  // TDateTime
    ftBoolean,
    ftBlob       // bytes (the company logo)
};

enum class TFieldKind { fkData, fkCalculated };

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsCalcFields };

enum class TLocateOption { loCaseInsensitive = 1, loPartialKey = 2 };
Q_DECLARE_FLAGS(TLocateOptions, TLocateOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TLocateOptions)

// Name of a field type as the messages and the dumps print it.
const char* fieldTypeName(TFieldType type);
// True for the types that hold text.
inline bool isTextType(TFieldType t) { return t == TFieldType::ftString || t == TFieldType::ftFixedChar; }
