#pragma once
// Runs the SQL-building part of a generated procedure: the statements from
// the first assignment to lsSQL up to the first statement that is neither
// such an assignment nor an `If <value> <> "" Then` ... `End If` block, with
// the Visual Basic semantics those statements rely on (Variant
// concatenation, Null in a condition, Replace, Format, CInt, Left, Len).
// What the procedure would hand to the database is the value of lsSQL then.
#include <map>
#include <stdexcept>
#include <string>

#include "platform/clock.h"

namespace rw::test {

struct VbValue {
    enum class Kind { Null, Text, Number, Boolean, Date };
    Kind kind = Kind::Null;
    std::string text;
    double number = 0;
    bool boolean = false;
    DateTime date{};

    static VbValue null() { return {}; }
    static VbValue of(std::string s) { return {Kind::Text, std::move(s), 0, false, {}}; }
    static VbValue of(double n) { return {Kind::Number, "", n, false, {}}; }
    static VbValue of(bool b) { return {Kind::Boolean, "", 0, b, {}}; }
    static VbValue of(DateTime d) { return {Kind::Date, "", 0, false, d}; }
};

struct VbError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// `variables` holds every name the statements read: "roCustomers.Notes",
// "Notes", "mvarCustomerID_ReadBuf", "RefreshFilter", "vsFilter", ...
// Throws VbError on a name it does not know or a construct it cannot run.
std::string buildSql(const std::string& procedureText, const std::map<std::string, VbValue>& variables);

// The text of the procedure that starts with the line `header` (up to its
// End Function / End Sub), from a generated file's text.
std::string procedureText(const std::string& fileText, const std::string& header);

}  // namespace rw::test
