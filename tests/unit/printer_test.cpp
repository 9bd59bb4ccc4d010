#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "gen/printer.h"
#include "support/memory_file_system.h"

namespace rw {
namespace {

struct PrinterCase {
    const char* what;
    int indent;
    TemplateVars vars;
    Template text;
    const char* written;
};

TEST(Printer, WritesTemplatesLineByLine) {
    const PrinterCase cases[] = {
        {"values are not read again", 0, {{"a", "$b$"}, {"b", "no"}}, "x $a$ y\n", "x $b$ y\r\n"},
        {"dollar pair and adjacent names", 0, {{"a", "1"}, {"b", "2"}}, "$$$a$$b$$$\n", "$12$\r\n"},
        {"leading newline skipped, last line unended", 0, {}, "\nA\n\nB", "A\r\n\r\nB\r\n"},
        {"indent on non-empty lines only", 4, {{"v", "x"}}, "If $v$\n\n  End\n", "    If x\r\n\r\n      End\r\n"},
        {"text after the last name", 2, {{"n", "é"}}, "$n$é\n", "  \xE9\xE9\r\n"},
    };
    for (const PrinterCase& c : cases) {
        MemoryFileSystem fs;
        {
            TextFile f(fs.create("/o"), "/o");
            Printer p(f);
            Printer::Indent in(p, c.indent);
            p.emit(c.vars, c.text);
        }
        EXPECT_EQ(fs.readAll("/o"), c.written) << c.what;
    }
}

TEST(Printer, RefusesUnknownNamesAndUnpairedDollars) {
    MemoryFileSystem fs;
    TextFile f(fs.create("/o"), "/o");
    Printer p(f);
    EXPECT_THROW(p.emit({{"a", "1"}}, "$b$\n"), std::invalid_argument);
    EXPECT_THROW(p.emit("cost $5\n"), std::invalid_argument);
}

}  // namespace
}  // namespace rw
