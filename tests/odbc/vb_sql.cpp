#include "odbc/vb_sql.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>
#include <vector>

namespace rw::test {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string two(int n) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", n);
    return b;
}

// Concatenation's text of a value (en-US).
std::string text(const VbValue& v) {
    switch (v.kind) {
        case VbValue::Kind::Null: return "";
        case VbValue::Kind::Text: return v.text;
        case VbValue::Kind::Boolean: return v.boolean ? "True" : "False";
        case VbValue::Kind::Number: {
            char b[64];
            std::snprintf(b, sizeof b, "%.15g", v.number);
            return b;
        }
        case VbValue::Kind::Date: {
            const DateTime& d = v.date;
            const int h12 = d.hour % 12 == 0 ? 12 : d.hour % 12;
            return std::to_string(d.month) + "/" + std::to_string(d.day) + "/" + std::to_string(d.year) + " " +
                   std::to_string(h12) + ":" + two(d.minute) + ":" + two(d.second) + (d.hour < 12 ? " AM" : " PM");
        }
    }
    return "";
}

VbValue format(const VbValue& v, const std::string& pattern) {
    if (v.kind != VbValue::Kind::Date) throw VbError("Format of a value that is not a date");
    const DateTime& d = v.date;
    if (pattern == "yyyy-mm-dd hh:nn:ss")
        return VbValue::of(std::to_string(d.year) + "-" + two(d.month) + "-" + two(d.day) + " " + two(d.hour) + ":" +
                           two(d.minute) + ":" + two(d.second));
    if (pattern == "mm/dd/yyyy hh:mm:ss")
        return VbValue::of(two(d.month) + "/" + two(d.day) + "/" + std::to_string(d.year) + " " + two(d.hour) + ":" +
                           two(d.minute) + ":" + two(d.second));
    throw VbError("Format pattern not known: " + pattern);
}

class Parser {
public:
    Parser(std::string s, const std::map<std::string, VbValue>& vars) : s_(std::move(s)), vars_(vars) {}

    VbValue expression() {
        VbValue v = additive();
        for (;;) {
            skip();
            if (!eat('&')) return v;
            v = VbValue::of(text(v) + text(additive()));
        }
    }

    bool atEnd() {
        skip();
        return i_ >= s_.size();
    }
    bool eatWord(const std::string& w) {
        skip();
        if (lower(s_.substr(i_, w.size())) != lower(w)) return false;
        const std::size_t after = i_ + w.size();
        if (after < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[after])) || s_[after] == '_'))
            return false;
        i_ = after;
        return true;
    }
    bool eatText(const std::string& t) {
        skip();
        if (s_.compare(i_, t.size(), t) != 0) return false;
        i_ += t.size();
        return true;
    }

private:
    void skip() {
        while (i_ < s_.size() && s_[i_] == ' ') ++i_;
    }
    bool eat(char c) {
        skip();
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    void expect(char c) {
        if (!eat(c)) throw VbError(std::string("expected '") + c + "' in: " + s_);
    }

    static double number(const VbValue& v) {
        if (v.kind == VbValue::Kind::Number) return v.number;
        if (v.kind == VbValue::Kind::Boolean) return v.boolean ? -1 : 0;
        if (v.kind == VbValue::Kind::Text) return std::stod(v.text);
        throw VbError("not a number");
    }

    VbValue additive() {
        VbValue v = primary();
        for (;;) {
            skip();
            if (i_ < s_.size() && (s_[i_] == '-' || s_[i_] == '+')) {
                const char op = s_[i_++];
                const double r = number(primary());
                v = VbValue::of(op == '-' ? number(v) - r : number(v) + r);
            } else {
                return v;
            }
        }
    }

    VbValue primary() {
        skip();
        if (i_ >= s_.size()) throw VbError("unexpected end of: " + s_);
        const char c = s_[i_];
        if (c == '"') {
            std::string t;
            ++i_;
            for (;;) {
                if (i_ >= s_.size()) throw VbError("unterminated string in: " + s_);
                if (s_[i_] == '"') {
                    if (i_ + 1 < s_.size() && s_[i_ + 1] == '"') {
                        t += '"';
                        i_ += 2;
                        continue;
                    }
                    ++i_;
                    break;
                }
                t += s_[i_++];
            }
            return VbValue::of(t);
        }
        if (c == '(') {
            ++i_;
            VbValue v = expression();
            expect(')');
            return v;
        }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t n = 0;
            const double d = std::stod(s_.substr(i_), &n);
            i_ += n;
            return VbValue::of(d);
        }
        std::string name;
        while (i_ < s_.size() &&
               (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_' || s_[i_] == '.'))
            name += s_[i_++];
        if (name.empty()) throw VbError("unexpected '" + std::string(1, c) + "' in: " + s_);
        skip();
        if (i_ < s_.size() && s_[i_] == '(') return call(name);
        const auto v = vars_.find(name);
        if (v == vars_.end()) throw VbError("no value for " + name);
        return v->second;
    }

    VbValue call(const std::string& name) {
        expect('(');
        std::vector<VbValue> args;
        if (!eat(')')) {
            do args.push_back(expression());
            while (eat(','));
            expect(')');
        }
        const std::string f = lower(name);
        auto arity = [&](std::size_t n) {
            if (args.size() != n) throw VbError(name + " takes " + std::to_string(n) + " arguments");
        };
        if (f == "replace") {
            arity(3);
            std::string s = text(args[0]);
            const std::string from = text(args[1]), to = text(args[2]);
            std::string out;
            for (std::size_t p = 0; p < s.size();) {
                if (!from.empty() && s.compare(p, from.size(), from) == 0) {
                    out += to;
                    p += from.size();
                } else {
                    out += s[p++];
                }
            }
            return VbValue::of(out);
        }
        if (f == "format") {
            arity(2);
            return format(args[0], text(args[1]));
        }
        if (f == "cint") {
            arity(1);
            return VbValue::of(static_cast<double>(static_cast<long long>(number(args[0]))));
        }
        if (f == "left") {
            arity(2);
            const std::string s = text(args[0]);
            return VbValue::of(s.substr(0, static_cast<std::size_t>(number(args[1]))));
        }
        if (f == "len") {
            arity(1);
            return VbValue::of(static_cast<double>(text(args[0]).size()));
        }
        if (f == "trim") {
            arity(1);
            std::string s = text(args[0]);
            const auto b = s.find_first_not_of(' ');
            return VbValue::of(b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(' ') - b + 1));
        }
        throw VbError("function not known: " + name);
    }

    const std::string s_;
    const std::map<std::string, VbValue>& vars_;
    std::size_t i_ = 0;
};

// `<value> <> ""` as an If condition: Null is neither true nor false, which
// If takes as false; a number, Boolean or date is always unequal to "".
bool notEmpty(const VbValue& v) {
    if (v.kind == VbValue::Kind::Null) return false;
    if (v.kind == VbValue::Kind::Text) return !v.text.empty();
    return true;
}

std::vector<std::string> logicalLines(const std::string& body) {
    std::vector<std::string> lines;
    std::string current;
    std::istringstream in(body);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto b = line.find_first_not_of(' ');
        line = b == std::string::npos ? "" : line.substr(b);
        if (line.size() >= 2 && line.compare(line.size() - 2, 2, " _") == 0) {
            current += line.substr(0, line.size() - 2) + " ";
            continue;
        }
        lines.push_back(current + line);
        current.clear();
    }
    return lines;
}

}  // namespace

std::string buildSql(const std::string& procedure, const std::map<std::string, VbValue>& variables) {
    std::map<std::string, VbValue> vars = variables;
    bool started = false;
    std::vector<bool> taken;  // the open If blocks
    for (const std::string& line : logicalLines(procedure)) {
        if (line.empty() || line[0] == '\'') continue;
        const bool running = std::all_of(taken.begin(), taken.end(), [](bool t) { return t; });
        if (line.rfind("lsSQL = ", 0) == 0) {
            started = true;
            if (!running) continue;
            Parser p(line.substr(8), vars);
            VbValue v = p.expression();
            if (!p.atEnd()) throw VbError("cannot run: " + line);
            vars["lsSQL"] = VbValue::of(text(v));
            continue;
        }
        if (!started) continue;
        if (line == "End If" && !taken.empty()) {
            taken.pop_back();
            continue;
        }
        const std::string tail = " <> \"\" Then";
        if (line.rfind("If ", 0) == 0 && line.size() > 3 + tail.size() &&
            line.compare(line.size() - tail.size(), tail.size(), tail) == 0) {
            Parser p(line.substr(3, line.size() - 3 - tail.size()), vars);
            taken.push_back(running && notEmpty(p.expression()));
            continue;
        }
        break;  // the statement that hands lsSQL to the database
    }
    const auto sql = vars.find("lsSQL");
    if (sql == vars.end()) throw VbError("the procedure builds no lsSQL");
    return sql->second.text;
}

std::string procedureText(const std::string& fileText, const std::string& header) {
    const auto start = fileText.find("\r\n" + header);
    if (start == std::string::npos) throw VbError("no procedure " + header);
    const auto endFunction = fileText.find("\r\nEnd Function", start);
    const auto endSub = fileText.find("\r\nEnd Sub", start);
    const auto end = std::min(endFunction, endSub);
    return fileText.substr(start + 2, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace rw::test
