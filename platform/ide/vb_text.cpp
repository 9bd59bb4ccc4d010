#include "platform/ide/vb_text.h"

#include <array>
#include <cctype>

#include "platform/ide/environment.h"

namespace rw::ide {
namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// The first word of text and the rest after the spaces that follow it.
std::string_view firstWord(std::string_view text, std::string_view& rest) {
    std::size_t end = 0;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != '(') ++end;
    rest = trimmed(text.substr(end));
    return text.substr(0, end);
}

}  // namespace

std::vector<RawLine> splitRawLines(std::string_view text) {
    std::vector<RawLine> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') continue;
        std::size_t endLength = 1;
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') endLength = 2;
        lines.push_back({std::string(text.substr(start, i - start)), std::string(text.substr(i, endLength))});
        i += endLength - 1;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back({std::string(text.substr(start)), ""});
    return lines;
}

std::vector<std::string> splitTextLines(std::string_view text) {
    std::vector<std::string> lines;
    for (RawLine& line : splitRawLines(text)) lines.push_back(std::move(line.bytes));
    return lines;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool isAttributeLine(std::string_view line) { return startsWithNoCase(line, "Attribute "); }

std::string attributeKey(std::string_view line) {
    std::string_view rest = line.substr(std::string_view("Attribute ").size());
    const auto eq = rest.find('=');
    return std::string(trimmed(eq == std::string_view::npos ? rest : rest.substr(0, eq)));
}

std::string attributeValue(std::string_view line) {
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return {};
    std::string_view value = trimmed(line.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return std::string(value);
}

bool isProcedureLine(std::string_view line) {
    std::string_view rest;
    std::string_view word = firstWord(trimmed(line), rest);
    for (const char* scope : {"Public", "Private", "Friend"}) {
        if (equalsNoCase(word, scope)) {
            word = firstWord(rest, rest);
            break;
        }
    }
    if (equalsNoCase(word, "Static")) word = firstWord(rest, rest);
    return !rest.empty() &&
           (equalsNoCase(word, "Sub") || equalsNoCase(word, "Function") || equalsNoCase(word, "Property"));
}

bool isBlankOrComment(std::string_view line) {
    const std::string_view text = trimmed(line);
    return text.empty() || text.front() == '\'' || equalsNoCase(text, "Rem") || startsWithNoCase(text, "Rem ");
}

bool isValidName(std::string_view name) {
    if (name.empty()) return false;
    const auto letter = [](unsigned char c) { return std::isalpha(c) || c >= 0x80; };
    if (!letter(static_cast<unsigned char>(name.front()))) return false;
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (!letter(b) && !std::isdigit(b) && b != '_') return false;
    }
    return true;
}

RuntimeError ideError(long number, const std::string& description) {
    return RuntimeError(number, kIdeSource, description);
}

RuntimeError ideFileError(const RuntimeError& cause, const std::string& path) {
    RuntimeError e(cause.number, kIdeSource, cause.description + ": '" + path + "'");
    e.subject.path = path;
    return e;
}

}  // namespace rw::ide
