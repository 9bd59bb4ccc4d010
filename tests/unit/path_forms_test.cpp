#include <gtest/gtest.h>

#include "platform/file_system.h"

namespace rw {
namespace {

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
