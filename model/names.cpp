#include "model/names.h"

#include <algorithm>

#include "platform/cp1252.h"

namespace rw {
namespace {

// Upper-case partners within Windows-1252 of the lower-case letters outside
// ASCII: Latin-1 à..þ (not ÷), and š, œ, ž, ÿ.
char32_t upperInCp1252(char32_t c) {
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    switch (c) {
        case 0x0161: return 0x0160;  // š
        case 0x0153: return 0x0152;  // œ
        case 0x017E: return 0x017D;  // ž
        case 0x00FF: return 0x0178;  // ÿ
        default: return c;
    }
}

std::size_t utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

}  // namespace

void appendUpperFirst(std::string& out, std::string_view text) {
    if (text.empty()) return;
    if (static_cast<unsigned char>(text[0]) < 0x80) {
        const char c = text[0];
        out += c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
        out.append(text.substr(1));
        return;
    }
    const std::size_t n = std::min(utf8Length(static_cast<unsigned char>(text[0])), text.size());
    const std::string first = cp1252::fromUtf8(text.substr(0, n));
    if (first.size() == 1 && first != "?") {
        const char32_t cp = cp1252::codePointOf(static_cast<unsigned char>(first[0]));
        const char32_t up = upperInCp1252(cp);
        out += up == cp ? std::string(text.substr(0, n)) : cp1252::toUtf8(std::string(1, static_cast<char>(cp1252::byteOf(up))));
    } else {
        out.append(text.substr(0, n));
    }
    out.append(text.substr(n));
}

std::string upperFirst(std::string_view text) {
    std::string out;
    appendUpperFirst(out, text);
    return out;
}

std::string classBaseName(std::string_view table) {
    std::string out;
    for (const char c : upperFirst(table)) {
        if (c != '#' && c != '~' && c != '?' && c != ' ') out += c;
    }
    return out;
}

void appendPropertyName(std::string& out, std::string_view field) {
    const std::size_t from = out.size();
    appendUpperFirst(out, field);
    std::replace(out.begin() + static_cast<std::ptrdiff_t>(from), out.end(), ' ', '_');
}

std::string propertyName(std::string_view field) {
    std::string out;
    appendPropertyName(out, field);
    return out;
}

bool containsSpace(std::string_view text) { return text.find(' ') != std::string_view::npos; }

std::string bracketedFieldName(std::string_view field) {
    if (!containsSpace(field)) return std::string(field);
    std::string out;
    out.reserve(field.size() + 2);
    out.append("[").append(field).append("]");
    return out;
}

std::string bracketedTableName(std::string_view table) { return bracketedFieldName(table); }

void assignNameKey(std::string& key, std::string_view name) {
    if (cp1252::asciiPrefix(name) == name.size()) {
        key.assign(name);
    } else {
        key = cp1252::fromUtf8(name);
    }
    for (char& c : key) {
        if (static_cast<unsigned char>(c) < 0x80) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
            continue;
        }
        const int up = cp1252::byteOf(upperInCp1252(cp1252::codePointOf(static_cast<unsigned char>(c))));
        c = static_cast<char>(up);
    }
}

std::string nameKey(std::string_view name) {
    std::string key;
    assignNameKey(key, name);
    return key;
}

}  // namespace rw
