// Names, characters and paths: names made from a table's, Windows-1252,
// text files and the template printer, and paths as the user gives them.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <iconv.h>
#endif

#include <stdexcept>
#include <string>

#include "gen/printer.h"
#include "model/names.h"
#include "platform/cp1252.h"
#include "platform/file_system.h"
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

namespace {

// `written` null: the template is refused.
TEST(Printer, WritesTemplatesLineByLineAndRefusesUnknownNamesAndUnpairedDollars) {
    const struct {
        const char* what;
        int indent;
        TemplateVars vars;
        Template text;
        const char* written;
    } cases[] = {
        {"values are not read again", 0, {{"a", "$b$"}, {"b", "no"}}, "x $a$ y\n", "x $b$ y\r\n"},
        {"dollar pair and adjacent names", 0, {{"a", "1"}, {"b", "2"}}, "$$$a$$b$$$\n", "$12$\r\n"},
        {"leading newline skipped, last line unended", 0, {}, "\nA\n\nB", "A\r\n\r\nB\r\n"},
        {"indent on non-empty lines only", 4, {{"v", "x"}}, "If $v$\n\n  End\n", "    If x\r\n\r\n      End\r\n"},
        {"text after the last name", 2, {{"n", "é"}}, "$n$é\n", "  \xE9\xE9\r\n"},
        {"invalid byte ending a word of a long value", 0, {{"v", "abcdefg\xFF" "abcdefgh"}}, "$v$\n", "abcdefg?abcdefgh\r\n"},
        {"unknown name", 0, {{"a", "1"}}, "$b$\n", nullptr},
        {"unpaired dollar", 0, {}, "cost $5\n", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFileSystem fs;
        TextFile f(fs.create("/o"), "/o");
        Printer p(f);
        Printer::Indent in(p, c.indent);
        if (!c.written) {
            EXPECT_THROW(p.emit(c.vars, c.text), std::invalid_argument);
            continue;
        }
        p.emit(c.vars, c.text);
        f.close();
        EXPECT_EQ(fs.readAll("/o"), c.written);
    }
}

// Compiled forms are kept per template and indent.
TEST(Printer, OneTemplateAtTwoIndents) {
    static constexpr Template kLine = "A $v$\n";
    MemoryFileSystem fs;
    TextFile f(fs.create("/o"), "/o");
    Printer p(f);
    for (const int indent : {0, 2, 0}) {
        Printer::Indent in(p, indent);
        p.emit({{"v", std::to_string(indent)}}, kLine);
    }
    f.close();
    EXPECT_EQ(fs.readAll("/o"), "A 0\r\n  A 2\r\nA 0\r\n");
}

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// Paths as the user gives them: Windows takes "\" and "/" alike and knows
// drives and shares; POSIX takes "/" alone.
TEST(PathForms, RelativePathsAndTempNamesOnEachPlatform) {
    const struct {
        const char *working, *path, *posix, *windows;
    } cases[] = {
        {"/w", "out", "/w/out", "/w\\out"}, {"/w/", "out", "/w/out", "/w/out"}, {"C:\\w", "a/b", "C:\\w/a/b", "C:\\w\\a/b"},
        {"C:\\w\\", "out", "C:\\w\\/out", "C:\\w\\out"}, {"/w", "C:\\abs", "/w/C:\\abs", "C:\\abs"},
        {"/w", "d:rel", "/w/d:rel", "d:rel"}, {"/w", "\\\\server\\share", "/w/\\\\server\\share", "\\\\server\\share"},
        {"/w", "\\top", "/w/\\top", "\\top"}, {"/w", "/abs", "/abs", "/abs"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(absoluteFrom(c.working, c.path), kWindows ? c.windows : c.posix) << c.working << " + " << c.path;

    const struct {
        const char *path, *posix, *windows;
    } temps[] = {
        {"C:\\d\\P.vbp", ".C:\\d\\P.vbp.rwnew", "C:\\d\\.P.vbp.rwnew"}, {"/d/P.vbp", "/d/.P.vbp.rwnew", "/d/.P.vbp.rwnew"},
        {"C:\\d/e\\P.vbp", "C:\\d/.e\\P.vbp.rwnew", "C:\\d/e\\.P.vbp.rwnew"},
    };
    for (const auto& t : temps) EXPECT_EQ(tempPathBeside(t.path, 0), kWindows ? t.windows : t.posix) << t.path;
}

// A table name becomes a file name: Windows refuses more than a separator
// (":" would write an alternate data stream, a last dot is dropped).
TEST(PathForms, NamesThatCannotBeFileNames) {
    const struct {
        const char* name;
        bool posix, windows;
    } cases[] = {
        {"Order Details", true, true}, {"a.b", true, true}, {"a/b", false, false}, {"a\\b", false, false}, {"a:b", true, false},
        {"a*b", true, false}, {"a?b", true, false}, {"a\"b", true, false}, {"a<b", true, false}, {"a>b", true, false},
        {"a|b", true, false}, {"Orders.", true, false},
    };
    for (const auto& c : cases) EXPECT_EQ(fitsFileName(c.name), kWindows ? c.windows : c.posix) << c.name;
}

}  // namespace
}  // namespace rw
