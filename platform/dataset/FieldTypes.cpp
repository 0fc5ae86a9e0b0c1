#include "FieldTypes.h"

const char* fieldTypeName(TFieldType type) {
    switch (type) {
    case TFieldType::ftSmallint: return "Smallint";
    case TFieldType::ftInteger: return "Integer";
    case TFieldType::ftLargeint: return "Largeint";
    case TFieldType::ftFloat: return "Float";
    case TFieldType::ftString: return "String";
    case TFieldType::ftFixedChar: return "FixedChar";
    case TFieldType::ftDateTime: return "DateTime";
    case TFieldType::ftBoolean: return "Boolean";
    case TFieldType::ftBlob: return "Blob";
    case TFieldType::ftUnknown: break;
    }
    return "Unknown";
}
