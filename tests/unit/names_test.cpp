#include <gtest/gtest.h>
#ifndef _WIN32
#include <iconv.h>
#endif

#include <string>

#include "model/names.h"
#include "platform/cp1252.h"
#include "platform/text_files.h"
#include "support/memory_file_system.h"

namespace rw {

TEST(Names, ClassPropertyFieldNamesAndKeys) {
    const struct {
        std::string (*fn)(std::string_view);
        const char *name, *expected;
    } cases[] = {
        {classBaseName, "my table#1", "Mytable1"},  // upper-cased first, then punctuation removed
        {classBaseName, " a", "a"},
        {classBaseName, "a b", "Ab"},
        {classBaseName, "Order~Details?", "OrderDetails"},
        {classBaseName, "#orders", "orders"},
        {classBaseName, "Unit-Price", "Unit-Price"},
        {propertyName, "order date", "Order_date"},  // spaces replaced, nothing else
        {propertyName, "Unit-Price", "Unit-Price"},
        {bracketedFieldName, "Unit Price", "[Unit Price]"},
        {bracketedFieldName, "UnitPrice", "UnitPrice"},
        // The first character is upper-cased within Windows-1252.
        {upperFirst, "zone", "Zone"},
        {upperFirst, "{x", "{x"},
        {upperFirst, "`x", "`x"},
        {upperFirst, "\u00e9t\u00e9", "\u00c9t\u00e9"},
        {upperFirst, "\u00fe", "\u00de"},
        {upperFirst, "\u00f7x", "\u00f7x"},  // no upper case
        {upperFirst, "\u00df", "\u00df"},
        {upperFirst, "\u00b5", "\u00b5"},
        {upperFirst, "\u0161a", "\u0160a"},
        {upperFirst, "\u00ff", "\u0178"},
        {upperFirst, "\u03b1", "\u03b1"},  // no Windows-1252 form
        {upperFirst, "", ""},
        {nameKey, "az\u00ff\u00e9", "AZ\x9F\xC9"},  // every character, as Windows-1252 bytes
    };
    for (const auto& c : cases) EXPECT_EQ(c.fn(c.name), c.expected) << c.name;
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
        {3, "abcdef", "abcdef\r\n"},
        {3, "abc\u20ac", "abc\x80\r\n"},  // ASCII fills it, then a conversion
        {1, "\u00e9x", "\xE9x\r\n"},      // the last byte of the buffer
        {0, "\u20ac" "a", "\x80" "a\r\n"},  // the first byte after it
        {2, "a\u20ac" "b\u00e9", "a\x80" "b\xE9\r\n"},
        {1, "\u4e2dz", "?z\r\n"},
        {1, "", "\r\n"},  // CR and LF on either side
        {10, "abcdefgh\u0153", "abcdefgh\x9C\r\n"},
    };
    MemoryFileSystem fs;
    fs.createDirectories("/out");
    FileTable files(fs);
    for (const auto& c : cases) {
        const std::string filler(TextFile::kBufferSize - c.before, 'f');
        const int n = files.openForOutput("/out/t.txt");
        files.at(n).text(filler);
        files.at(n).line(c.utf8);
        files.close(n);
        EXPECT_EQ(fs.files().at("/out/t.txt"), filler + c.bytes) << c.utf8;
    }
}

}  // namespace rw
