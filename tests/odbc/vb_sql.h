#pragma once
// Runs the SQL-building part of a generated procedure: its `lsSQL = ...`
// assignments and the `If <name> <> "" Then` ... `End If` blocks around
// them, up to the first other statement, as Visual Basic would (Variant
// concatenation, Null in a condition). The result is what lsSQL then holds.
#include <map>
#include <stdexcept>
#include <string>
#include <variant>

#include "platform/clock.h"

namespace rw::test {

// Null, text, number, Boolean, date.
using VbValue = std::variant<std::monostate, std::string, double, bool, DateTime>;

struct VbError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// `variables` holds every name the statements read ("roCustomers.Notes",
// "mvarCustomerID_ReadBuf", "vsFilter", ...); a name or construct it does
// not know throws VbError.
std::string buildSql(const std::string& procedureText, const std::map<std::string, VbValue>& variables);

// The procedure that starts with the line `header`, up to its End Function
// or End Sub.
std::string procedureText(const std::string& fileText, const std::string& header);

}  // namespace rw::test
