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

// Converts characters from the front of utf8 into out (see fromUtf8) until
// utf8 is used up or `room` bytes are written, drops them from utf8 and
// returns the bytes written. Every character gives one byte, and runs of
// ASCII are copied as they are.
std::size_t encodeInto(std::string_view& utf8, char* out, std::size_t room);

// The length of the run of ASCII bytes that text starts with.
std::size_t asciiPrefix(std::string_view text);

// Windows-1252 to UTF-8; every byte value has a character.
std::string toUtf8(std::string_view bytes);

// The Windows-1252 byte of a Unicode code point, or -1 when it has none.
int byteOf(char32_t codePoint);

// The Unicode code point of a Windows-1252 byte.
char32_t codePointOf(unsigned char byte);

}  // namespace rw::cp1252
