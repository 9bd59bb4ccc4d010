#include <gtest/gtest.h>
#ifndef _WIN32
#include <iconv.h>
#endif

#include <string>

#include "model/names.h"
#include "platform/cp1252.h"
#include "platform/text_files.h"
#include "support/golden.h"
#include "support/memory_file_system.h"

namespace rw {

// Each name as a class base name (upper-cased first, then punctuation
// removed), a property name, a bracketed field name, with its first
// character upper-cased within Windows-1252, and as a key (Windows-1252).
TEST(Names, ClassPropertyFieldNamesAndKeys) {
    std::string log;
    for (const char* name : {"my table#1", " a", "a b", "Order~Details?", "#orders", "Unit-Price", "order date",
                             "Unit Price", "zone", "{x", "`x", "\u00e9t\u00e9", "\u00fe", "\u00f7x", "\u00df", "\u00b5",
                             "\u0161a", "\u00ff", "\u03b1", "", "az\u00ff\u00e9"})
        log += "[" + std::string(name) + "] " + classBaseName(name) + " | " + propertyName(name) + " | " +
               bracketedFieldName(name) + " | " + upperFirst(name) + " | " + cp1252::toUtf8(nameKey(name)) + "\n";
    test::expectGolden("names.txt", log);
}

// Every byte the C library's own Windows-1252 table defines decodes to the
// same character, and back; the bytes it leaves undefined still round-trip.
TEST(Cp1252, EveryByteMatchesTheCLibraryTable) {
#ifdef _WIN32
    GTEST_SKIP() << "POSIX-only: the C library's table is iconv's";
#else
    iconv_t cd = iconv_open("UTF-8", "CP1252");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int defined = 0;
    for (int b = 0; b < 256; ++b) {
        char in[1] = {static_cast<char>(b)}, out[8] = {};
        char *inp = in, *outp = out;
        std::size_t inLeft = 1, outLeft = sizeof out;
        const std::string byte(1, static_cast<char>(b));
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<std::size_t>(-1)) {
            ++defined;
            EXPECT_EQ(cp1252::toUtf8(byte), std::string(out, outp)) << b;
            EXPECT_EQ(cp1252::fromUtf8(std::string(out, outp)), byte) << b;
        }
        EXPECT_EQ(cp1252::fromUtf8(cp1252::toUtf8(byte)), byte) << b;
    }
    iconv_close(cd);
    EXPECT_GE(defined, 251);
#endif
}

TEST(Cp1252, UnmappableAndInvalidBecomeQuestionMarks) {
    EXPECT_EQ(cp1252::fromUtf8("\u00a9 \u20ac"), "\xA9 \x80");
    EXPECT_EQ(cp1252::fromUtf8("a\u4e2db\xFF" "c\xF0\x9F\x98\x80" "d\x80" "e"), "a?b?c?d?e");  // \x80 alone
    EXPECT_EQ(cp1252::fromUtf8("a\xC0\xAF" "b").find('/'), std::string::npos);  // an overlong "/"
}

// Lines whose text ends `before` bytes short of a full buffer: every byte
// on both sides of the point where the buffer is handed on is the right one.
// Each file of the table reuses the buffer of the one before.
TEST(TextFile, LinesAcrossTheBufferBoundaryKeepEveryByte) {
    const struct {
        std::size_t before;
        const char *utf8, *bytes;
    } cases[] = {
        {3, "abcdef", "abcdef\r\n"}, {3, "abc\u20ac", "abc\x80\r\n"},  // ASCII fills it, then a conversion
        {1, "\u00e9x", "\xE9x\r\n"}, {0, "\u20ac" "a", "\x80" "a\r\n"},  // the last byte of the buffer, the first after it
        {2, "a\u20ac" "b\u00e9", "a\x80" "b\xE9\r\n"}, {1, "\u4e2dz", "?z\r\n"},
        {1, "", "\r\n"}, {10, "abcdefgh\u0153", "abcdefgh\x9C\r\n"},  // CR and LF on either side; then a long line
    };
    MemoryFileSystem fs;
    fs.createDirectories("/out");
    FileTable files(fs);
    for (const auto& c : cases) {
        const std::string filler(TextFile::kBufferSize - c.before, 'f');
        const int n = files.openForOutput("/out/t.txt");
        files.at(n).text(filler), files.at(n).line(c.utf8), files.close(n);
        EXPECT_EQ(fs.files().at("/out/t.txt"), filler + c.bytes) << c.utf8;
    }
}

}  // namespace rw
