#pragma once
// Windows-1252 text. Internally every string is UTF-8; files are written and
// read in Windows-1252.
#include <string>
#include <string_view>

namespace rw::cp1252 {

// UTF-8 to Windows-1252. A character with no Windows-1252 form, and a byte
// that is not valid UTF-8, becomes "?". The five byte values that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) are taken as
// the C1 controls U+0081 and so on, so that decoding and encoding a file
// gives back every byte unchanged.
std::string fromUtf8(std::string_view utf8);

// Appends the Windows-1252 form of utf8 to out (see fromUtf8).
void appendFromUtf8(std::string& out, std::string_view utf8);

// Windows-1252 to UTF-8; every byte value has a character.
std::string toUtf8(std::string_view bytes);

// The Windows-1252 byte of a Unicode code point, or -1 when it has none.
int byteOf(char32_t codePoint);

// The Unicode code point of a Windows-1252 byte.
char32_t codePointOf(unsigned char byte);

}  // namespace rw::cp1252
