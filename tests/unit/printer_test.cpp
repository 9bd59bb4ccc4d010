#include <gtest/gtest.h>

#include <stdexcept>

#include "gen/printer.h"
#include "support/memory_file_system.h"

namespace rw {
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
        {"invalid byte ending a word of a long value", 0, {{"v", "abcdefg\xFF" "abcdefgh"}}, "$v$\n",
         "abcdefg?abcdefgh\r\n"},
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
    p.emit({{"v", "1"}}, kLine);
    {
        Printer::Indent in(p, 2);
        p.emit({{"v", "2"}}, kLine);
    }
    p.emit({{"v", "3"}}, kLine);
    f.close();
    EXPECT_EQ(fs.readAll("/o"), "A 1\r\n  A 2\r\nA 3\r\n");
}

}  // namespace
}  // namespace rw
