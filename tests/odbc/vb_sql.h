#pragma once
// Runs the SQL-building part of a generated procedure (the one starting with the line `header`) as Visual Basic
// would: its `lsSQL = ...` assignments and the `If <name> <> "" Then` ... `End If` blocks around them, up to the
// first other statement. Returns what lsSQL then holds; a name or construct it does not know throws.
#include <map>
#include <string>
#include <variant>

#include "platform/clock.h"

namespace rw::test {

// Null, text, number, Boolean, date.
using VbValue = std::variant<std::monostate, std::string, double, bool, DateTime>;

// `variables`: every name the statements read ("roCustomers.Notes", "mvarCustomerID_ReadBuf", "vsFilter", ...).
std::string buildSql(const std::string& fileText, const std::string& header, const std::map<std::string, VbValue>& variables);

}  // namespace rw::test
