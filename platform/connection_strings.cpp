#include "platform/connection_strings.h"

namespace rw {

namespace {

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// The provider key without a trailing version number ("SQLOLEDB.1").
std::string providerKey(const std::string& provider) {
    std::string p = upper(trimmed(provider));
    if (p.size() > 2 && p.compare(p.size() - 2, 2, ".1") == 0 && p.rfind("MICROSOFT.JET.", 0) != 0)
        p.erase(p.size() - 2);
    return p;
}

}  // namespace

namespace {

// One "key=value;" piece of a connection string and where it stands in the
// text: [begin, end), the ";" that ends it included.
struct Piece {
    std::string key;
    std::string value;
    bool hasValue;
    std::size_t begin;
    std::size_t end;
};

std::vector<Piece> pieces(const std::string& text) {
    std::vector<Piece> found;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t begin = i;
        const std::size_t keyEnd = text.find_first_of("=;", i);
        if (keyEnd == std::string::npos || text[keyEnd] == ';') {
            const std::string piece = text.substr(i, keyEnd == std::string::npos ? std::string::npos : keyEnd - i);
            i = keyEnd == std::string::npos ? text.size() : keyEnd + 1;
            found.push_back({trimmed(piece), "", false, begin, i});
            continue;
        }
        std::string key = trimmed(text.substr(i, keyEnd - i));
        std::size_t v = keyEnd + 1;
        std::string value;
        if (v < text.size() && text[v] == '{') {
            ++v;
            while (v < text.size()) {
                if (text[v] == '}') {
                    if (v + 1 < text.size() && text[v + 1] == '}') {
                        value += '}';
                        v += 2;
                        continue;
                    }
                    ++v;
                    break;
                }
                value += text[v++];
            }
            const std::size_t end = text.find(';', v);
            i = end == std::string::npos ? text.size() : end + 1;
        } else {
            const std::size_t end = text.find(';', v);
            value = text.substr(v, end == std::string::npos ? std::string::npos : end - v);
            i = end == std::string::npos ? text.size() : end + 1;
        }
        found.push_back({std::move(key), std::move(value), true, begin, i});
    }
    return found;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> parseConnectionString(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (Piece& piece : pieces(text))
        if (piece.hasValue || !piece.key.empty()) pairs.emplace_back(std::move(piece.key), std::move(piece.value));
    return pairs;
}

std::string withoutPassword(const std::string& text) {
    std::string kept;
    for (const Piece& piece : pieces(text)) {
        const std::string key = upper(piece.key);
        if (key != "PWD" && key != "PASSWORD") kept += text.substr(piece.begin, piece.end - piece.begin);
    }
    // A password that stood last leaves no ";" behind the piece before it.
    if (!kept.empty() && kept.back() == ';' && (text.empty() || text.back() != ';')) kept.pop_back();
    return kept;
}

std::optional<std::string> connectionStringValue(const std::string& text, const std::string& key) {
    const std::string wanted = upper(key);
    for (const auto& [k, v] : parseConnectionString(text))
        if (upper(k) == wanted) return v;
    return std::nullopt;
}

std::string odbcValue(const std::string& value) {
    const bool needsBraces = value.find_first_of(";{}") != std::string::npos ||
                             (!value.empty() && (value.front() == ' ' || value.back() == ' '));
    if (!needsBraces) return value;
    std::string quoted = "{";
    for (const char c : value) {
        quoted += c;
        if (c == '}') quoted += '}';
    }
    return quoted + "}";
}

std::string driverConnectionString(const std::string& driver,
                                   const std::vector<std::pair<std::string, std::string>>& values) {
    // The driver's name is always braced, as names with spaces need it.
    std::string text = odbcValue(driver);
    if (text.empty() || text.front() != '{') text = "{" + text + "}";
    text = "DRIVER=" + text + ";";
    for (const auto& [key, value] : values)
        if (!value.empty()) text += key + "=" + odbcValue(value) + ";";
    return text;
}

std::string oleDbProvider(const std::string& text) {
    return connectionStringValue(text, "PROVIDER").value_or("");
}

std::optional<std::string> oleDbToOdbc(const std::string& text, const OleDbDrivers& drivers) {
    const auto provider = connectionStringValue(text, "PROVIDER");
    if (!provider) return text;
    const std::string key = providerKey(*provider);

    std::string driver;
    const char* sourceKey = nullptr;
    if (key == "MSDASQL") {
        sourceKey = "DSN";
    } else if (key == "SQLOLEDB") {
        driver = drivers.sqlServer;
        sourceKey = "SERVER";
    } else if (key == "MSDAORA") {
        driver = drivers.oracle;
        sourceKey = "DBQ";
    } else if (key == "MICROSOFT.JET.OLEDB.3.51" || key == "MICROSOFT.JET.OLEDB.4.0") {
        driver = drivers.jet;
        sourceKey = "DBQ";
    } else {
        return std::nullopt;
    }

    std::string odbc;
    auto add = [&](const std::string& k, const std::string& v) { odbc += k + "=" + odbcValue(v) + ";"; };
    if (!driver.empty()) odbc += "DRIVER={" + driver + "};";
    for (const auto& [k, v] : parseConnectionString(text)) {
        const std::string u = upper(k);
        if (u == "PROVIDER") continue;
        if (u == "DATA SOURCE")
            add(sourceKey, v);
        else if (u == "USER ID")
            add("UID", v);
        else if (u == "PASSWORD")
            add("PWD", v);
        else if (u == "INITIAL CATALOG")
            add("DATABASE", v);
        else
            add(k, v);
    }
    return odbc;
}

}  // namespace rw
