#pragma once
// The answers file: one JSON document holding what the wizard's pages would
// hold, so that a generation can be repeated without the pages.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/field_grid.h"
#include "model/settings.h"

namespace rw {

// A fault in an answers file. The message starts with the file's name and
// the JSON path of the faulty value, e.g.
// `answers.json: $.target.kind: expected one of "Exe", "OleExe", "OleDll"`.
struct AnswersError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A field the user would tick or clear on the fields page, named
// "Table.Field". A member that is absent leaves the box as it is.
struct MarkAnswer {
    std::string key;
    std::optional<bool> primary;
    std::optional<bool> autoNumber;
};

struct Answers {
    WelcomeOptions options;
    ProjectPageValues project;
    // Loaded-project target: the project file that is loaded into the environment.
    std::string loadedProject;

    ConnectionPageValues connection;
    // Data source target: the name and the login.
    std::string dsn;
    std::string user;
    std::string password;

    // Absent: every table of the database, in the order the database lists them.
    std::optional<std::vector<std::string>> tables;
    std::vector<MarkAnswer> marks;
    // Present: the field rows in grid order, and no database is opened.
    std::optional<std::vector<FieldRow>> rows;

    // The stand-in connection's properties; absent means the property does
    // not exist.
    std::optional<std::string> dbmsName;
    std::optional<std::string> dataSourceName;
};

// Parses the text of an answers file. `fileName` starts every error message.
// A present `storeOverride` (the command line's --store) replaces
// target.store, which may then be missing from the file.
Answers parseAnswers(const std::string& text, const std::string& fileName,
                     const std::optional<std::string>& storeOverride = std::nullopt);

// Applies the marks to the field rows as if the user had ticked or cleared
// the boxes, under the grid's click rule (ticking Auto ticks Primary,
// clearing Primary clears Auto). A mark that names no row is a fault.
void applyMarks(FieldGrid& grid, const std::vector<MarkAnswer>& marks, const std::string& fileName);

// The answers as a JSON document that parseAnswers reads back to the same
// values, except the password, which is never written (two-space
// indentation, ending with a line feed).
std::string answersToJson(const Answers& answers);

}  // namespace rw
