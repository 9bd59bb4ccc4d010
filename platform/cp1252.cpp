#include "platform/cp1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace rw::cp1252 {
namespace {

// Code points of the bytes 0x80 to 0x9F; the rest equal their byte value.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[i]; advances i. Returns U+FFFD for an
// invalid sequence (one byte consumed).
char32_t decodeOne(std::string_view text, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; min = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; min = 0x800; }
    else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; min = 0x10000; }
    else { ++i; return 0xFFFD; }
    if (i + len > text.size()) { ++i; return 0xFFFD; }
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) { ++i; return 0xFFFD; }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ++i; return 0xFFFD; }
    i += len;
    return cp;
}

}  // namespace

char32_t codePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
    return byte;
}

int byteOf(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (std::size_t k = 0; k < kHigh.size(); ++k) {
        if (kHigh[k] == cp) return static_cast<int>(0x80 + k);
    }
    return -1;
}

std::size_t asciiPrefix(std::string_view text) {
    // Eight bytes at a time: a word with no high bit set is all ASCII.
    const char* p = text.data();
    const std::size_t n = text.size();
    std::size_t k = 0;
    for (; k + 8 <= n; k += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + k, 8);
        if (word & 0x8080808080808080ULL) break;
    }
    while (k < n && static_cast<unsigned char>(p[k]) < 0x80) ++k;
    return k;
}

std::size_t encodeInto(std::string_view& utf8, char* out, std::size_t room) {
    std::size_t written = 0;
    std::size_t i = 0;
    while (written < room && i < utf8.size()) {
        const std::size_t ascii = asciiPrefix(utf8.substr(i, room - written));
        std::memcpy(out + written, utf8.data() + i, ascii);
        written += ascii;
        i += ascii;
        if (written == room || i == utf8.size()) break;
        const int b = byteOf(decodeOne(utf8, i));
        out[written++] = b < 0 ? '?' : static_cast<char>(b);
    }
    utf8.remove_prefix(i);
    return written;
}

std::string fromUtf8(std::string_view utf8) {
    // Each character gives one byte: room for all of them, then cut to size.
    std::string out(utf8.size(), '\0');
    out.resize(encodeInto(utf8, out.data(), out.size()));
    return out;
}

std::string toUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) appendUtf8(out, codePointOf(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace rw::cp1252
