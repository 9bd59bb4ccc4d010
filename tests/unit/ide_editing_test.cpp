// Typing into a code module and closing a project, as the workbench does.
#include <gtest/gtest.h>

#include "platform/ide/environment.h"
#include "platform/runtime_error.h"
#include "support/sample_vb_project.h"
#include "support/memory_file_system.h"

namespace rw {
namespace {

class EditingTest : public ::testing::Test {
protected:
    MemoryFileSystem fs;
    ide::Environment env{fs};
    ide::Project* project = nullptr;
    ide::CodeModule* code = nullptr;

    void SetUp() override {
        project = &env.loadProject(test::writeSampleProject(fs, "/proj"));
        code = &project->vbComponents().find("modMain")->codeModule();
    }

    std::string all() const { return code->lines(1, code->countOfLines()); }
};

TEST_F(EditingTest, InsertLinesSplitsAtEveryLineEnd) {
    const int before = code->countOfLines();
    code->insertLines(1, "' a\r\n' b\n' c");
    EXPECT_EQ(code->countOfLines(), before + 3);
    EXPECT_EQ(code->lines(1, 3), "' a\r\n' b\r\n' c");
    EXPECT_TRUE(project->vbComponents().find("modMain")->isDirty());

    // The empty text is one empty line; a final line end adds one more.
    code->insertLines(1, "");
    EXPECT_EQ(code->lines(1, 1), "");
    code->insertLines(1, "x\r\n");
    EXPECT_EQ(code->lines(1, 2), "x\r\n");
    EXPECT_EQ(code->countOfLines(), before + 6);

    // After the last line it appends.
    code->insertLines(code->countOfLines() + 1, "' end");
    EXPECT_EQ(code->lines(code->countOfLines(), 1), "' end");
}

TEST_F(EditingTest, InsertLinesChecksItsLine) {
    const std::string text = all();
    for (const int line : {0, -1, code->countOfLines() + 2}) {
        try {
            code->insertLines(line, "' x");
            ADD_FAILURE() << "line " << line;
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number, 5);
        }
    }
    EXPECT_EQ(all(), text);
    EXPECT_FALSE(project->vbComponents().find("modMain")->isDirty());
}

TEST_F(EditingTest, CloseProjectHandsTheProjectOver) {
    ide::Project& second = env.loadProject(test::writeSampleProject(fs, "/other"));
    std::unique_ptr<ide::Project> closed = env.closeProject(*project);
    ASSERT_EQ(closed.get(), project);
    ASSERT_EQ(env.projects().size(), 1u);
    EXPECT_EQ(env.projects().front().get(), &second);
    // Not loaded (any more): nothing to hand over.
    EXPECT_EQ(env.closeProject(*closed), nullptr);
    // Loading it again reads it afresh.
    EXPECT_NE(&env.loadProject("/proj/Billing.vbp"), closed.get());
}

}  // namespace
}  // namespace rw
