// Fuzzes the answers-file reader: the input is the file's text. A file it
// accepts must read back to the same answers from its own JSON form, and is carried
// through what the command-line tool does with it next (the marks on the
// field rows, the settings, a whole generation into a file system in
// memory). Faults the reader and the run report are expected; a crash, an
// uncaught exception, a sanitizer report or a broken check is a finding.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "answers/answers.h"
#include "run/run.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/file_system.h"
#include "platform/runtime_error.h"
#include "platform/temp_folders.h"
#include "platform/ui.h"
#include "support/memory_file_system.h"
#include "support/memory_temp_folders.h"
#include "support/scripted_ui.h"

namespace {

using namespace rw;

// More rows only make one execution slower; the generators' work per table
// does not change with the table's position.
constexpr std::size_t kMaxRows = 64;

const char* const kProjectText =
    "Type=Exe\r\n"
    "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#C:\\WINNT\\System32\\STDOLE2.TLB#OLE Automation\r\n"
    "Module=modMain; modMain.bas\r\n"
    "Name=\"Fuzzed\"\r\n";

void require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
}

bool sameRows(const std::vector<FieldRow>& a, const std::vector<FieldRow>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const FieldRow& x, const FieldRow& y) {
        return std::tie(x.table, x.field, x.primary, x.autoNumber, x.dataType, x.nullable) ==
               std::tie(y.table, y.field, y.primary, y.autoNumber, y.dataType, y.nullable);
    });
}

// Everything the answers say but the password, which a written file may leave out.
bool sameAnswers(const Answers& a, const Answers& b) {
    const auto options = [](const WelcomeOptions& o) {
        return std::tie(o.chkModuleHead, o.chkFunctionHead, o.chkDevNotes, o.chkEH, o.chkCode);
    };
    const auto project = [](const ProjectPageValues& p) {
        return std::tie(p.optNew, p.optProjectStdExe, p.optProjectActiveXExe, p.optProjectActiveXDLL,
                        p.optProjectExisting, p.optLoaded, p.txtProjName, p.txtExistProject, p.msStoreDir);
    };
    const auto connection = [](const ConnectionPageValues& c) {
        return std::tie(c.optDSN, c.optDSNLess, c.txtConnString);
    };
    const auto sameMarks = [](const std::vector<MarkAnswer>& x, const std::vector<MarkAnswer>& y) {
        return std::equal(x.begin(), x.end(), y.begin(), y.end(), [](const auto& m, const auto& n) {
            return std::tie(m.key, m.primary, m.autoNumber) == std::tie(n.key, n.primary, n.autoNumber);
        });
    };
    return options(a.options) == options(b.options) && project(a.project) == project(b.project) &&
           a.loadedProject == b.loadedProject && connection(a.connection) == connection(b.connection) &&
           a.dsn == b.dsn && a.user == b.user && a.tables == b.tables && sameMarks(a.marks, b.marks) &&
           a.rows.has_value() == b.rows.has_value() && (!a.rows || sameRows(*a.rows, *b.rows)) &&
           a.dbmsName == b.dbmsName && a.dataSourceName == b.dataSourceName;
}

void generate(const Answers& answers) {
    FieldGrid grid(*answers.rows);
    try {
        applyMarks(grid, answers.marks, "a.json");
    } catch (const AnswersError&) {
        return;
    }
    GenerationSettings settings;
    fillSettings(settings, answers.options, answers.project, answers.connection);

    MemoryFileSystem fs;
    MemoryTempFolders temp(fs);
    ide::Environment environment(fs);
    ide::Project* loaded = nullptr;
    try {
        if (settings.mbLoadedProject) {
            fs.put(answers.loadedProject, kProjectText);
            fs.put(answers.loadedProject.substr(0, answers.loadedProject.rfind('/') + 1) + "modMain.bas",
                   "Attribute VB_Name = \"modMain\"\r\n");
            loaded = &environment.loadProject(answers.loadedProject);
        } else {
            fs.createDirectories(settings.msStoreDir);
            if (settings.mbExistingProject) fs.put(settings.msProjectFile, kProjectText);
        }
    } catch (const RuntimeError&) {
        return;
    }

    ScriptedUi ui;
    ui.fallback = kAnswerYes;
    FixedClock clock(DateTime{2026, 12, 6, 9, 5, 7});
    const OfflineConnection conn(answers.dbmsName, answers.dataSourceName);
    RunEnvironment env{.fs = fs, .ui = ui, .clock = clock, .conn = conn, .loadedProject = loaded, .tempFolders = &temp};
    runGeneration(settings, grid, env);
    if (loaded != nullptr) {
        try {
            loaded->save();
        } catch (const RuntimeError&) {
        }
    }

    // Temporary files go on every way out.
    for (const auto& [path, bytes] : fs.files()) require(path.find(".rwnew") == std::string::npos, "temporary file left");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Answers answers;
    try {
        answers = parseAnswers(text, "a.json");
    } catch (const AnswersError&) {
        return 0;
    }
    require(sameAnswers(parseAnswers(answersToJson(answers), "b.json"), answers),
            "answers changed on reading back");
    if (answers.rows && answers.rows->size() <= kMaxRows) generate(answers);
    return 0;
}
