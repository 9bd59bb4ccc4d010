#include <gtest/gtest.h>
#ifndef _WIN32
#include <iconv.h>
#endif

#include <string>
#include <utility>

#include "model/names.h"
#include "platform/cp1252.h"
#include "platform/text_files.h"
#include "support/memory_file_system.h"

namespace rw {

TEST(Names, ClassBaseNameUpperCasesFirstThenRemovesPunctuation) {
    EXPECT_EQ(classBaseName("my table#1"), "Mytable1");
    EXPECT_EQ(classBaseName(" a"), "a");  // the removed space was the upper-cased character
    EXPECT_EQ(classBaseName("a b"), classBaseName("ab"));
    EXPECT_EQ(classBaseName("Order~Details?"), "OrderDetails");
    EXPECT_EQ(classBaseName("#orders"), "orders");
    EXPECT_EQ(classBaseName("Unit-Price"), "Unit-Price");
}

TEST(Names, PropertyNameReplacesSpacesOnly) {
    EXPECT_EQ(propertyName("order date"), "Order_date");
    EXPECT_EQ(propertyName("id"), "Id");
    EXPECT_EQ(propertyName("1st"), "1st");
    EXPECT_EQ(propertyName("Unit-Price"), "Unit-Price");
    EXPECT_EQ(propertyName("First Name"), "First_Name");
}

TEST(Names, UpperFirstStaysWithinWindows1252) {
    const std::pair<const char*, const char*> cases[] = {
        {"zone", "Zone"},                  // both ends of a-z
        {"abc", "Abc"},
        {"{x", "{x"},                      // just past z
        {"`x", "`x"},                      // just before a
        {"\u00e9t\u00e9", "\u00c9t\u00e9"},  // é -> É
        {"\u00fe", "\u00de"},                // þ -> Þ, the last of the range
        {"\u00f7x", "\u00f7x"},              // ÷ has no upper case
        {"\u00df", "\u00df"},                // ß stays
        {"\u00b5", "\u00b5"},                // µ stays
        {"\u0161a", "\u0160a"},              // š -> Š
        {"\u00ff", "\u0178"},                // ÿ -> Ÿ
        {"\u03b1", "\u03b1"},                // α has no Windows-1252 form
        {"", ""},
    };
    for (const auto& [name, upper] : cases) EXPECT_EQ(upperFirst(name), upper) << name;
}

TEST(Names, BracketsOnlyNamesWithSpaces) {
    EXPECT_EQ(bracketedFieldName("Unit Price"), "[Unit Price]");
    EXPECT_EQ(bracketedFieldName("UnitPrice"), "UnitPrice");
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
        char* inp = in;
        char* outp = out;
        std::size_t inLeft = 1, outLeft = sizeof out;
        const std::string byte(1, static_cast<char>(b));
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<std::size_t>(-1)) {
            ++defined;
            const std::string utf8(out, outp);
            EXPECT_EQ(cp1252::toUtf8(byte), utf8) << b;
            EXPECT_EQ(cp1252::fromUtf8(utf8), byte) << b;
        }
        EXPECT_EQ(cp1252::fromUtf8(cp1252::toUtf8(byte)), byte) << b;
    }
    iconv_close(cd);
    EXPECT_GE(defined, 251);
#endif
}

TEST(Cp1252, UnmappableAndInvalidBecomeQuestionMarks) {
    EXPECT_EQ(cp1252::fromUtf8("\u00a9 \u20ac"), "\xA9 \x80");
    EXPECT_EQ(cp1252::fromUtf8("a\u4e2db"), "a?b");
    EXPECT_EQ(cp1252::fromUtf8("a\xFF" "b"), "a?b");
    EXPECT_EQ(cp1252::fromUtf8("\xF0\x9F\x98\x80"), "?");
    EXPECT_EQ(cp1252::fromUtf8("a\x80" "b"), "a?b");           // a continuation byte alone
    EXPECT_EQ(cp1252::fromUtf8("a\xC0\xAF" "b").find('/'), std::string::npos);  // an overlong "/"
}

// Lines whose text ends `before` bytes short of a full buffer: every byte
// on both sides of the point where the buffer is handed on is the right one.
// Each file of the table reuses the buffer of the one before.
TEST(TextFile, LinesAcrossTheBufferBoundaryKeepEveryByte) {
    const struct {
        std::size_t before;
        const char* utf8;
        const char* bytes;
    } cases[] = {
        {3, "abcdef", "abcdef\r\n"},
        {3, "abc\u20ac", "abc\x80\r\n"},              // ASCII fills it, then a conversion
        {1, "\u00e9x", "\xE9x\r\n"},                 // the last byte of the buffer
        {0, "\u20ac" "a", "\x80" "a\r\n"},            // the first byte after it
        {2, "a\u20ac" "b\u00e9", "a\x80" "b\xE9\r\n"},
        {1, "\u4e2dz", "?z\r\n"},                     // no Windows-1252 form
        {1, "", "\r\n"},                               // CR and LF on either side
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
        const std::string& got = fs.files().at("/out/t.txt");
        EXPECT_EQ(got.find_first_not_of('f'), filler.size()) << c.utf8;
        EXPECT_EQ(got.substr(filler.size()), c.bytes) << c.utf8;
    }
}

}  // namespace rw
