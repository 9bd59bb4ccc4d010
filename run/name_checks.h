#pragma once
// Names that cannot be generated safely. The run checks the tables once, at
// its start, before anything is written; a refused table gets one message
// and no files, class lines or report line, and the rest of the run goes on.
// The project name of a new project is checked where it is entered.
#include <string>
#include <string_view>
#include <unordered_set>

#include "model/field_grid.h"
#include "model/settings.h"
#include "platform/file_system.h"
#include "platform/ui.h"

namespace rw {

struct TableNameChecks {
    // The "Table" cells of the refused tables.
    std::unordered_set<std::string> refused;
    // Classes (as generated, "cls" + base name [+ "Coll"]) that the project
    // file being extended already lists for the same file: their class lines
    // are not written again.
    std::unordered_set<std::string> listed;
};

// Walks the tables in grid order and refuses, with one ShowError each for
// the first rule that applies, a table whose name cannot be a file name, one
// with a control character in a column name, one whose class is the
// connection class, is already generated for an earlier accepted table, or
// is listed for another file by the project file being extended.
TableNameChecks checkTableNames(const GenerationSettings& s, const FieldGrid& grid, FileSystem& fs, Ui& ui);

// Empty when `name` can name a new project (its file and its Title and Name
// lines); otherwise the message that says why not.
std::string projectNameMessage(std::string_view name);

// The name with each control character shown as "?".
std::string shownName(std::string_view name);

}  // namespace rw
