#pragma once
// Which group a column's ADO data type falls in, and how its value is
// written into the SQL text that generated code builds at its run time.
// Every generator asks here, so a rule changes in one place.
#include <string>

#include "model/gen_context.h"

namespace rw {

enum class ValueGroup { Numeric, Boolean, Text, Date, Other };

// The groups as the developer notes' sample filters and Refresh's loading
// use them: 7 and 135 are dates, 8, 129 and 130 text.
ValueGroup valueGroupOf(int dataType);

// The groups of values written into SQL: as above, and a date without time
// (133) is a date, a time (134) quoted text. Unquoted, the first would be
// arithmetic (12/6/2026) and the second a syntax error.
ValueGroup sqlValueGroupOf(int dataType);

// How a date is written for a database product; names are compared
// exactly, case included.
enum class DateForm {
    HashLiteral,      // #v#
    UsText,           // 'Format(v, "mm/dd/yyyy hh:mm:ss")'
    OracleText,       // 'Format(v, "dd-mmm-yy")'
    TimestampEscape,  // {ts 'Format(v, "yyyy-mm-dd hh:nn:ss")'}: any other product
};
DateForm dateFormFor(const std::string& dbms);

// One value in SQL as three pieces: the SQL text before it, the VB
// expression that yields it, the SQL text after it. `ref` is the VB
// expression that holds the value. A key condition writes a Boolean as it
// is; a value takes CInt for SQL Server. The DBMS name is read only for
// Boolean and date columns, so a provider without it stops the caller here.
struct SqlValue {
    std::string open;
    std::string expression;
    std::string close;
};
SqlValue sqlValueOf(const GenContext& ctx, int dataType, const std::string& ref, bool keyCondition = false);

}  // namespace rw
