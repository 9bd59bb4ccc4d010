#include "odbc/vb_sql.h"

#include <algorithm>
#include <cstdio>
#include <iomanip>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

namespace rw::test {

namespace {

using Vars = std::map<std::string, VbValue>;

const VbValue& value(const Vars& vars, const std::string& name) {
    const auto v = vars.find(name);
    if (v == vars.end()) throw std::runtime_error("no value for " + name);
    return v->second;
}

// The text of a named value in a concatenation, or in Format(name, "yyyy-mm-dd hh:nn:ss"). A date must be
// formatted, and only a date: its own text would depend on the locale.
std::string text(const Vars& vars, const std::string& name, bool format = false) {
    const VbValue& v = value(vars, name);
    const auto* d = std::get_if<DateTime>(&v);
    if (format != (d != nullptr)) throw std::runtime_error(name + (format ? " is no date" : " is a date not formatted"));
    if (char b[32]; d) {
        std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", d->year, d->month, d->day, d->hour, d->minute, d->second);
        return b;
    }
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    if (const auto* t = std::get_if<bool>(&v)) return *t ? "True" : "False";
    if (const auto* n = std::get_if<double>(&v)) return (std::ostringstream() << std::setprecision(15) << *n).str();
    return "";
}

// One operand of `&`: a literal, a name, or one of the calls the generated SQL building makes.
std::string term(const std::string& t, const Vars& vars) {
    static const std::regex literal(R"x("((?:[^"]|"")*)")x"), name(R"([\w.]+)"),
        left(R"(Left\((\w+), [Ll]en\(\1\) - (\d+)\))"), quotes(R"(Replace\(([\w.]+), "'", "''"\))"),
        format(R"(Format\(([\w.]+), "yyyy-mm-dd hh:nn:ss"\))");
    std::smatch m;
    if (std::regex_match(t, m, literal)) return std::regex_replace(m[1].str(), std::regex("\"\""), "\"");
    if (std::regex_match(t, m, name)) return text(vars, t);
    if (std::regex_match(t, m, quotes)) return std::regex_replace(text(vars, m[1]), std::regex("'"), "''");
    if (std::regex_match(t, m, format)) return text(vars, m[1], true);
    if (!std::regex_match(t, m, left)) throw std::runtime_error("cannot run: " + t);
    const std::string s = text(vars, m[1]);
    return s.substr(0, s.size() - std::min(s.size(), std::stoul(m[2])));
}

}  // namespace

std::string buildSql(const std::string& fileText, const std::string& header, const Vars& variables) {
    const auto start = fileText.find("\r\n" + header);
    if (start == std::string::npos) throw std::runtime_error("no procedure " + header);
    Vars vars = variables;
    std::vector<bool> taken;  // the open If blocks
    std::istringstream in(fileText.substr(start + 2));
    // The terms of a & b & ...: runs of quoted literals and other characters but &.
    static const std::regex condition(R"(If ([\w.]+) <> "" Then)"),
        part(R"x( *((?:"(?:[^"]|"")*"|[^"&])+?) *(?:&|$))x");
    std::smatch m;
    std::string statement;
    for (std::string line; std::getline(in, line);) {
        line.erase(0, line.find_first_not_of(' '));
        line.erase(line.find_last_not_of(" \r") + 1);
        statement += line;
        if (line.size() >= 2 && line.compare(line.size() - 2, 2, " _") == 0) {
            statement.pop_back();  // a continued statement
            continue;
        }
        const std::string s = std::exchange(statement, "");
        if (s.rfind("End ", 0) == 0 && s != "End If") break;
        const bool running = std::find(taken.begin(), taken.end(), false) == taken.end();
        if (s.rfind("lsSQL = ", 0) == 0) {
            if (!running) continue;
            std::string sql;
            for (std::sregex_iterator i(s.begin() + 8, s.end(), part), end; i != end; ++i) sql += term((*i)[1], vars);
            vars["lsSQL"] = sql;
        } else if (s == "End If" && !taken.empty()) {
            taken.pop_back();
        } else if (std::regex_match(s, m, condition) && vars.count("lsSQL")) {
            // Null is neither equal nor unequal to "", which If takes as false.
            const VbValue& v = value(vars, m[1]);
            const auto* t = std::get_if<std::string>(&v);
            taken.push_back(running && (t ? !t->empty() : !std::holds_alternative<std::monostate>(v)));
        } else if (vars.count("lsSQL") && !s.empty() && s[0] != '\'') {
            break;  // the statement that hands lsSQL to the database
        }
    }
    if (!vars.count("lsSQL")) throw std::runtime_error("the procedure builds no lsSQL");
    return std::get<std::string>(vars["lsSQL"]);
}

}  // namespace rw::test
