#pragma once
// A reader for the plain JSON that programs write: objects, arrays, strings
// of printable ASCII without escapes, integers of up to 18 digits, true,
// false and null. It hands each value to a handler with the callbacks of the
// JSON library's event parser, several times faster than the library reads
// the same text. Anything else (an escape, a character outside printable
// ASCII, a fraction, an exponent, a byte order mark, any fault) makes it
// stop and say so, and the caller reads the text with the library, which
// accepts all of JSON and describes every fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rw {

enum class PlainJson {
    Read,         // the whole text, every callback accepted
    Refused,      // a callback returned false
    Unsupported,  // text this reader leaves to the library
};

template <class Handler>
PlainJson readPlainJson(std::string_view text, Handler& handler) {
    constexpr auto kUnknownSize = static_cast<std::size_t>(-1);
    const char* p = text.data();
    const char* const end = p + text.size();
    std::vector<char> open;  // the containers open: '{' or '['
    std::string value;

    const auto skipSpace = [&] {
        while (p < end && (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t')) ++p;
    };
    // A string at p, into `value`.
    const auto readString = [&] {
        if (p == end || *p != '"') return false;
        const char* const start = ++p;
        while (p < end && *p != '"') {
            const auto c = static_cast<unsigned char>(*p);
            if (c < 0x20 || c > 0x7E || c == '\\') return false;
            ++p;
        }
        if (p == end) return false;
        value.assign(start, p);
        ++p;
        return true;
    };
    const auto literal = [&](std::string_view word) {
        if (static_cast<std::size_t>(end - p) < word.size() || std::string_view(p, word.size()) != word) return false;
        p += word.size();
        return true;
    };
    // A member's name and its colon; the value follows.
    const auto readKey = [&] {
        skipSpace();
        if (!readString()) return PlainJson::Unsupported;
        if (!handler.key(value)) return PlainJson::Refused;
        skipSpace();
        if (p == end || *p != ':') return PlainJson::Unsupported;
        ++p;
        return PlainJson::Read;
    };

    for (;;) {
        skipSpace();
        if (p == end) return PlainJson::Unsupported;
        bool accepted = true;
        if (*p == '{' || *p == '[') {
            const bool object = *p == '{';
            ++p;
            if (!(object ? handler.start_object(kUnknownSize) : handler.start_array(kUnknownSize)))
                return PlainJson::Refused;
            skipSpace();
            if (p < end && *p == (object ? '}' : ']')) {
                ++p;
                accepted = object ? handler.end_object() : handler.end_array();
            } else {
                open.push_back(object ? '{' : '[');
                if (object) {
                    if (const PlainJson key = readKey(); key != PlainJson::Read) return key;
                }
                continue;
            }
        } else if (*p == '"') {
            if (!readString()) return PlainJson::Unsupported;
            accepted = handler.string(value);
        } else if (literal("true")) {
            accepted = handler.boolean(true);
        } else if (literal("false")) {
            accepted = handler.boolean(false);
        } else if (literal("null")) {
            accepted = handler.null();
        } else {
            const bool negative = *p == '-';
            if (negative) ++p;
            if (p == end || *p < '0' || *p > '9') return PlainJson::Unsupported;
            if (*p == '0' && p + 1 < end && p[1] >= '0' && p[1] <= '9') return PlainJson::Unsupported;
            std::uint64_t number = 0;
            int digits = 0;
            for (; p < end && *p >= '0' && *p <= '9'; ++p) {
                if (++digits > 18) return PlainJson::Unsupported;
                number = number * 10 + static_cast<std::uint64_t>(*p - '0');
            }
            if (p < end && (*p == '.' || *p == 'e' || *p == 'E')) return PlainJson::Unsupported;
            accepted = negative ? handler.number_integer(-static_cast<std::int64_t>(number))
                                : handler.number_unsigned(number);
        }
        if (!accepted) return PlainJson::Refused;

        // After a value: the containers it closes, then a comma or the end.
        for (;;) {
            skipSpace();
            if (open.empty()) return p == end ? PlainJson::Read : PlainJson::Unsupported;
            if (p == end) return PlainJson::Unsupported;
            const bool object = open.back() == '{';
            if (*p == ',') {
                ++p;
                if (object) {
                    if (const PlainJson key = readKey(); key != PlainJson::Read) return key;
                }
                break;
            }
            if (*p != (object ? '}' : ']')) return PlainJson::Unsupported;
            ++p;
            open.pop_back();
            if (!(object ? handler.end_object() : handler.end_array())) return PlainJson::Refused;
        }
    }
}

}  // namespace rw
