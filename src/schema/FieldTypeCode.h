#pragma once

// The RDB$FIELD_TYPE codes. 35 is the type dialect 3 calls TIMESTAMP and
// dialect 1 DATE; 12 is dialect 3's DATE, which dialect 1 does not have.
// 24 to 29 came with Firebird 4 (ODS 13); INT128 holds NUMERIC and DECIMAL
// of 19 to 38 digits as well, told apart by the sub-type.
namespace FieldTypeCode {

enum : int {
    SmallInt = 7,
    Integer = 8,
    Quad = 9,
    Float = 10,
    DFloat = 11,
    SqlDate = 12,
    Time = 13,
    Char = 14,
    Int64 = 16,
    Boolean = 23,
    DecFloat16 = 24,
    DecFloat34 = 25,
    Int128 = 26,
    TimeTz = 28,
    TimestampTz = 29,
    Double = 27,
    Timestamp = 35,
    VarChar = 37,
    CString = 40,
    Blob = 261,
};

} // namespace FieldTypeCode
