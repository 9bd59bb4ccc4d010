#include "odbc/vb_sql.h"

#include <algorithm>
#include <cstdio>
#include <iomanip>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace rw::test {

namespace {

using Vars = std::map<std::string, VbValue>;

const VbValue& value(const Vars& vars, const std::string& name) {
    const auto v = vars.find(name);
    if (v == vars.end()) throw std::runtime_error("no value for " + name);
    return v->second;
}

// Concatenation's text of a value. A date is always formatted first: its
// own text would depend on the locale.
std::string text(const VbValue& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    if (const auto* b = std::get_if<bool>(&v)) return *b ? "True" : "False";
    if (const auto* n = std::get_if<double>(&v)) return (std::ostringstream() << std::setprecision(15) << *n).str();
    if (std::holds_alternative<DateTime>(v)) throw std::runtime_error("a date concatenated without Format");
    return "";
}

// One operand of `&`: a literal, a name, or one of the calls the generated
// SQL building makes.
std::string term(const std::string& t, const Vars& vars) {
    static const std::regex literal(R"x("((?:[^"]|"")*)")x"), name(R"([\w.]+)"),
        left(R"(Left\((\w+), [Ll]en\(\1\) - (\d+)\))"), quotes(R"(Replace\(([\w.]+), "'", "''"\))"),
        format(R"(Format\(([\w.]+), "yyyy-mm-dd hh:nn:ss"\))");
    std::smatch m;
    if (std::regex_match(t, m, literal)) return std::regex_replace(m[1].str(), std::regex("\"\""), "\"");
    if (std::regex_match(t, m, name)) return text(value(vars, t));
    if (std::regex_match(t, m, left)) {
        const std::string s = text(value(vars, m[1]));
        return s.substr(0, s.size() - std::min(s.size(), std::stoul(m[2])));
    }
    if (std::regex_match(t, m, quotes)) return std::regex_replace(text(value(vars, m[1])), std::regex("'"), "''");
    if (!std::regex_match(t, m, format)) throw std::runtime_error("cannot run: " + t);
    const auto* d = std::get_if<DateTime>(&value(vars, m[1]));
    if (!d) throw std::runtime_error("Format of a value that is not a date: " + t);
    char b[32];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", d->year, d->month, d->day, d->hour, d->minute,
                  d->second);
    return b;
}

// a & b & ...: the terms split at each & outside quotes and parentheses.
std::string concatenation(const std::string& s, const Vars& vars) {
    std::string out, t;
    int depth = 0;
    bool quoted = false;
    for (const char c : s + "&") {
        if (c == '"') quoted = !quoted;
        if (!quoted) depth += (c == '(') - (c == ')');
        if (c != '&' || quoted || depth > 0) {
            t += c;
            continue;
        }
        out += term(t.substr(t.find_first_not_of(' '), t.find_last_not_of(' ') - t.find_first_not_of(' ') + 1), vars);
        t.clear();
    }
    return out;
}

}  // namespace

std::string buildSql(const std::string& fileText, const std::string& header, const Vars& variables) {
    const auto start = fileText.find("\r\n" + header);
    if (start == std::string::npos) throw std::runtime_error("no procedure " + header);
    Vars vars = variables;
    std::vector<bool> taken;  // the open If blocks
    std::istringstream in(fileText.substr(start + 2));
    std::string statement, line;
    static const std::regex condition(R"(If ([\w.]+) <> "" Then)");
    std::smatch m;
    while (std::getline(in, line)) {
        line.erase(0, line.find_first_not_of(' '));
        line.erase(line.find_last_not_of(" \r") + 1);
        if (line.size() >= 2 && line.compare(line.size() - 2, 2, " _") == 0) {
            statement += line.substr(0, line.size() - 1);  // a continued statement
            continue;
        }
        statement += line;
        if (statement.rfind("End ", 0) == 0 && statement != "End If") break;
        const bool running = std::find(taken.begin(), taken.end(), false) == taken.end();
        if (statement.rfind("lsSQL = ", 0) == 0) {
            if (running) vars["lsSQL"] = concatenation(statement.substr(8), vars);
        } else if (statement == "End If" && !taken.empty()) {
            taken.pop_back();
        } else if (std::regex_match(statement, m, condition) && vars.count("lsSQL")) {
            // Null is neither equal nor unequal to "", which If takes as false.
            const VbValue& v = value(vars, m[1]);
            const auto* s = std::get_if<std::string>(&v);
            taken.push_back(running && !std::holds_alternative<std::monostate>(v) && !(s && s->empty()));
        } else if (vars.count("lsSQL") && !statement.empty() && statement[0] != '\'') {
            break;  // the statement that hands lsSQL to the database
        }
        statement.clear();
    }
    if (!vars.count("lsSQL")) throw std::runtime_error("the procedure builds no lsSQL");
    return std::get<std::string>(vars["lsSQL"]);
}

}  // namespace rw::test
