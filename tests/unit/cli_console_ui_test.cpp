#include <gtest/gtest.h>

#include <array>
#include <sstream>

#include "cli/console_ui.h"
#include "cli/recording_file_system.h"
#include "platform/runtime_error.h"
#include "support/memory_file_system.h"

namespace rw::cli {
namespace {

TEST(CliConsoleUi, MessagesGoToStandardErrorAndOnlyErrorsAreCounted) {
    std::ostringstream err;
    std::istringstream in;
    ConsoleUi ui(err, in, false, false);
    EXPECT_EQ(ui.msgBox("Done.", kStyleInformation), kAnswerOk);
    ShowError(ui, 76, "RwtAddIn (frmFields.msGenObjectFile)", "Path not found", {"/out/a\nb.cls"});
    ShowError(ui, 70, "RwtAddIn", "Permission denied", {"/tmp", true});
    EXPECT_EQ(ui.msgBox("Careful", kStyleInformation, "Other"), kAnswerOk);
    EXPECT_EQ(err.str(), "Done.\nError: 76\nSource: RwtAddIn (frmFields.msGenObjectFile)\n\nDescription: Path not found\n"
                         "File: /out/a?b.cls\nError: 70\nSource: RwtAddIn\n\nDescription: Permission denied\n"
                         "Folder: /tmp\nOther: Careful\n");
    EXPECT_EQ(ui.errorCount(), 2);
    EXPECT_EQ(terminalText("a\r\nb\rc\n"), "a\nb\nc\n");
}

TEST(CliConsoleUi, QuestionsAreAnsweredByYesFlagTerminalOrNo) {
    for (const int style : {kStyleQuestionYesNo, kStyleCriticalYesNo, kStyleCriticalYesNoCancel}) {
        std::ostringstream err;
        std::istringstream in("n\n");
        EXPECT_EQ(ConsoleUi(err, in, true, true).msgBox("Go on?", style), kAnswerYes) << style;
        EXPECT_EQ(ConsoleUi(err, in, false, false).msgBox("Go on?", style), kAnswerNo) << style;
        EXPECT_EQ(in.tellg(), 0) << "nothing is read when the answer is not asked for";
    }

    std::ostringstream err;
    std::istringstream in("maybe\n  YES \nc\nno\nc\n");
    ConsoleUi ui(err, in, true, false);
    EXPECT_EQ(ui.msgBox("Overwrite?", kStyleCriticalYesNo), kAnswerYes);  // asks again after "maybe"
    EXPECT_EQ(ui.msgBox("Overwrite?", kStyleCriticalYesNo), kAnswerNo);   // "c" is no answer without Cancel
    EXPECT_EQ(ui.msgBox("Save first?", kStyleCriticalYesNoCancel), kAnswerCancel);
    EXPECT_EQ(ui.msgBox("Save first?", kStyleCriticalYesNoCancel), kAnswerNo);  // end of input
    EXPECT_EQ(ui.errorCount(), 0);
    EXPECT_NE(err.str().find("[y]es, [n]o or [c]ancel? "), std::string::npos);
}

TEST(CliConsoleUi, ProgressShowsOnATerminalAfterASecondAndIsClearedAtTheEnd) {
    const struct {
        bool terminal;
        std::vector<std::array<int, 3>> steps;  // at milliseconds, tables done, of tables
        std::string expected;
    } cases[] = {
        {false, {{1500, 1, 2}, {3000, 2, 2}}, ""},
        {true, {{400, 1, 2}, {1000, 2, 2}}, ""},  // done within the second
        {true, {{900, 1, 120}, {1001, 9, 120}, {1100, 10, 120}, {1500, 11, 120}, {1501, 120, 120}},
         "\rreading fields: 9 of 120 tables\rreading fields: 11 of 120 tables"
         "\rreading fields: 120 of 120 tables\r                                 \r"},
        {true, {{2000, 1, 1}}, "\rreading fields: 1 of 1 table\r                            \r"},
    };
    for (const auto& c : cases) {
        std::ostringstream err;
        std::chrono::steady_clock::time_point now{};
        auto line = std::make_unique<ProgressLine>(err, c.terminal, [&] { return now; });
        for (const auto& [atMs, done, total] : c.steps)
            now = std::chrono::steady_clock::time_point{} + std::chrono::milliseconds(atMs), line->update(done, total);
        line.reset();
        EXPECT_EQ(err.str(), c.expected);
    }
}

TEST(CliRecordingFileSystem, ListsCompleteFilesOnceInCreationOrderUnderFinalNames) {
    MemoryFileSystem memory;
    memory.createDirectories("/out"), memory.createDirectories("/stage"), memory.put("/elsewhere/old.txt", "x");
    memory.failCreate("/out/clsBad.cls", kErrPermissionDenied);
    memory.failWrite("/out/clsFull.cls", 4, kErrDiskFull);
    RecordingFileSystem fs(memory);
    const auto write = [](auto sink, std::string_view bytes = "text") { sink->write(bytes), sink->close(); };
    TempFile temp = fs.createTempBeside("/out/P.vbp");
    write(std::move(temp.sink));
    write(fs.create("/out/clsA.cls")), write(fs.create("/out/clsA.cls"));
    write(fs.create("/stage/clsA.rwg"));
    EXPECT_THROW(fs.create("/out/clsBad.cls"), RuntimeError);
    write(fs.create("/out/clsGone.cls")), fs.remove("/out/clsGone.cls");
    write(fs.create("/out/clsEmpty.cls"), "");  // its generator never wrote
    auto full = fs.create("/out/clsFull.cls");  // the disk fills, then the run closes it
    full->write("text");
    EXPECT_THROW(full->write("more"), RuntimeError);
    full->close();
    fs.replace(temp.path, "/out/P.vbp");
    fs.rename("/elsewhere/old.txt", "/out/moved.txt");
    EXPECT_EQ(fs.written(), (std::vector<std::string>{"/out/P.vbp", "/out/clsA.cls", "/out/moved.txt"}));
    EXPECT_TRUE(memory.exists("/out/P.vbp"));
    EXPECT_FALSE(memory.exists(temp.path));
}

}  // namespace
}  // namespace rw::cli
