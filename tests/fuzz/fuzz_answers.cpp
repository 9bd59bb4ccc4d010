// Fuzzes the answers-file reader: the input is the file's text. A file it accepts must read back to the same answers
// from its own JSON form, and is carried through what the command-line tool does with it next (the marks on the
// field rows, the settings, a whole generation into a file system in memory). Faults the reader and the run report
// are expected; a crash, an uncaught exception, a sanitizer report or a broken check is a finding.
#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>

#include "answers/answers.h"
#include "fuzz/fuzz_support.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/runtime_error.h"
#include "run/run.h"
#include "support/memory_file_system.h"
#include "support/memory_temp_folders.h"
#include "support/scripted_ui.h"

namespace {

using namespace rw;

// More rows only make one execution slower; the generators' work per table does not change with its position.
constexpr std::size_t kMaxRows = 64;

const char* const kProjectText =
    "Type=Exe\r\nReference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#C:\\WINNT\\System32\\STDOLE2.TLB#OLE "
    "Automation\r\nModule=modMain; modMain.bas\r\nName=\"Fuzzed\"\r\n";

// Everything the answers say but the password, which a written file may leave out.
bool sameAnswers(const Answers& a, const Answers& b) {
    const auto said = [](const Answers& x) {
        const auto& o = x.options;
        const auto& p = x.project;
        return std::tie(o.chkModuleHead, o.chkFunctionHead, o.chkDevNotes, o.chkEH, o.chkCode, p.optNew,
                        p.optProjectStdExe, p.optProjectActiveXExe, p.optProjectActiveXDLL, p.optProjectExisting,
                        p.optLoaded, p.txtProjName, p.txtExistProject, p.msStoreDir, x.loadedProject,
                        x.connection.optDSN, x.connection.optDSNLess, x.connection.txtConnString, x.dsn, x.user,
                        x.tables, x.dbmsName, x.dataSourceName);
    };
    const auto mark = [](const MarkAnswer& m) { return std::tie(m.key, m.primary, m.autoNumber); };
    const auto row = [](const FieldRow& r) {
        return std::tie(r.table, r.field, r.primary, r.autoNumber, r.dataType, r.nullable);
    };
    return said(a) == said(b) && std::ranges::equal(a.marks, b.marks, {}, mark, mark) &&
           a.rows.has_value() == b.rows.has_value() && (!a.rows || std::ranges::equal(*a.rows, *b.rows, {}, row, row));
}

void generate(const Answers& answers) {
    FieldGrid grid(*answers.rows);
    try { applyMarks(grid, answers.marks, "a.json"); } catch (const AnswersError&) { return; }
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
    try { if (loaded != nullptr) loaded->save(); } catch (const RuntimeError&) {}
    // Temporary files go on every way out.
    for (const auto& [path, bytes] : fs.files()) require(path.find(".rwnew") == std::string::npos, "temporary file left");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Answers answers;
    const std::string text(reinterpret_cast<const char*>(data), size);
    try { answers = parseAnswers(text, "a.json"); } catch (const AnswersError&) { return 0; }
    require(sameAnswers(parseAnswers(answersToJson(answers), "b.json"), answers), "answers changed on reading back");
    if (answers.rows && answers.rows->size() <= kMaxRows) generate(answers);
    return 0;
}
