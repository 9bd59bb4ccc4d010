#pragma once
// The rules that depend on a column's ADO data type or on the database
// product: which group a type falls in, how a value is written into the SQL
// text the generated code builds, and what each product needs. Every
// generator and the field loader ask here, so a rule changes in one place.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/gen_context.h"

namespace rw {

// The database products the generated code treats apart, from the
// connection's "DBMS Name" (compared exactly, case included).
enum class Dbms { Jet, SqlServer, Oracle, Other };
Dbms dbmsOf(std::string_view dbmsName);

enum class ValueGroup { Numeric, Boolean, Text, Date, Other };

// The groups as the developer notes' sample filters and Refresh's loading
// use them: adDate and adDBTimeStamp are dates, adBSTR, adChar and adWChar
// text.
ValueGroup valueGroupOf(int dataType);

// The groups of values written into SQL: as above, and a date without time
// (adDBDate) is a date, a time (adDBTime) quoted text. Unquoted, the first
// would be arithmetic (12/6/2026) and the second a syntax error.
ValueGroup sqlValueGroupOf(int dataType);

// The checks a Property Let makes of its value before storing it.
enum class CheckGroup {
    SmallRange,  // numeric within -32768 .. 32767
    ByteRange,   // numeric within 0 .. 255
    Numeric,
    Date,
    Text,        // not Null only
    None,
};
CheckGroup checkGroupOf(int dataType);

// The type a column of the numeric types takes from its scale and precision.
std::int16_t numericColumnType(long long scale, long long precision);
// True for the types whose real type depends on scale and precision.
bool isScaledNumericType(int dataType);

// One value in SQL: the SQL text before it, the VB expression that yields
// it, the SQL text after it. The expression is `ref` (the VB expression that
// holds the value) or a call with it as the first argument: `call` + `ref` +
// `rest`. A key condition writes a Boolean as it is; a value takes CInt for
// SQL Server. The DBMS name is read only for Boolean and date columns, so a
// provider without it stops the caller here. Every piece but `ref` is
// constant text.
struct SqlValue {
    std::string_view open;
    std::string_view call;  // "Replace(", "Format(", "CInt(" or empty
    std::string_view ref;
    std::string_view rest;  // the call's other arguments and ")"
    std::string_view close;
};
SqlValue sqlValueOf(const GenContext& ctx, int dataType, std::string_view ref, bool keyCondition = false);

// The tail of one condition in a sample filter (" = '<value>' " for text,
// a product's own form for dates, " = <value> " otherwise), or nothing for
// a date column under a product whose date syntax is not known. The DBMS
// name is read only for a date column, so a provider without it stops the
// caller there.
std::optional<std::string_view> sampleConditionTail(const GenContext& ctx, int dataType);

// The connection class opens an Oracle recordset on the client's side when
// the connection is not a data source name.
bool needsClientCursor(Dbms dbms);
// Products whose tables have their keys marked on loading without detection.
bool premarksKeys(Dbms dbms);
// Products whose tables can have an identity column to mark as Auto.
bool hasIdentityColumn(Dbms dbms);

}  // namespace rw
