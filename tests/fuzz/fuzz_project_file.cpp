// Fuzzes the readers of project files: the extension of an existing project file (twice, which must change nothing)
// and the development environment's loader, with an edit, a save and a reload. The input is the .vbp text, then
// optionally component file texts, each after a line "%%"; every component file the project lists gets the next
// component text in turn. Run-time errors are expected; a crash, an uncaught exception, a sanitizer report or a
// broken check is a finding.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/ide/environment.h"
#include "platform/runtime_error.h"
#include "run/project_file.h"
#include "support/memory_file_system.h"

namespace {

using namespace rw;

const char* const kProjectFile = "/p/P.vbp";

// A file system in memory where a file that is read but missing is first made with the next component text. The
// empty path names no file, as on a real file system.
class ComponentSupply final : public ForwardingFileSystem {
public:
    ComponentSupply(MemoryFileSystem& fs, std::vector<std::string> texts)
        : ForwardingFileSystem(fs), fs_(fs), texts_(std::move(texts)) {}

    std::string readAll(const std::string& path) override {
        if (!path.empty() && !fs_.exists(path) && !fs_.isDirectory(path))
            fs_.put(path, texts_.empty() ? std::string() : texts_[next_++ % texts_.size()]);
        return fs_.readAll(path);
    }

private:
    MemoryFileSystem& fs_;
    std::vector<std::string> texts_;
    std::size_t next_ = 0;
};

// Extends the project file with two tables; false when a run-time error ended it.
bool extendWithTables(MemoryFileSystem& fs) {
    GenerationSettings settings;
    settings.mbExistingProject = settings.mbErrorHandler = settings.project.optProjectExisting = true;
    settings.msProjectFile = settings.project.txtExistProject = kProjectFile;
    settings.msStoreDir = settings.project.msStoreDir = "/p/store";
    FileTable files(fs);
    ProjectFileWriter writer(files, settings);
    try {
        writer.extend();
        writer.appendTable("Orders");
        writer.appendTable("Order_Details");
        writer.close();
        return true;
    } catch (const RuntimeError&) {
        writer.abandon();
        return false;
    }
}

void fuzzExtension(const std::string& vbp) {
    MemoryFileSystem fs;
    fs.put(kProjectFile, vbp);
    fs.createDirectories("/p/store");
    const bool extended = extendWithTables(fs);
    require(fs.files().size() == 1, "extending left another file");
    if (!extended) return;
    const std::string once = fs.readAll(kProjectFile);
    require(extendWithTables(fs), "an extended project file cannot be extended again");
    require(fs.readAll(kProjectFile) == once, "extending twice changed the project file");
}

void fuzzEnvironment(const std::vector<std::string>& parts) {
    MemoryFileSystem memory;
    memory.put(kProjectFile, parts[0]);
    ComponentSupply fs(memory, std::vector<std::string>(parts.begin() + 1, parts.end()));
    ide::Environment environment(fs);
    ide::Project* project = nullptr;
    ide::Component* added = nullptr;
    try {
        project = &environment.loadProject(kProjectFile);
        for (const auto& component : project->vbComponents()) {
            component->codeModule().lines(1, component->codeModule().countOfLines());
            component->fileBytes();
        }
        project->references().addFromGuid("{00000200-0000-0010-8000-00AA006D2EA4}", 2, 0);
        added = &project->vbComponents().add(ide::kClassModule);
        added->codeModule().addFromFile("/p/staged/Imported.cls");  // never read before: it gets the next text
        added->codeModule().insertLines(1, "Option Explicit");
        project->save();
    } catch (const RuntimeError&) {
        return;
    }
    require(!project->isDirty(), "a saved project has unsaved changes");
    ide::Environment again(fs);
    ide::Project* reloaded = nullptr;
    try { reloaded = &again.loadProject(kProjectFile); } catch (const RuntimeError&) {}
    require(reloaded != nullptr, "a saved project cannot be loaded again");
    require(reloaded->vbComponents().count() == project->vbComponents().count(), "components changed on reloading");
    require(reloaded->references().count() == project->references().count(), "references changed on reloading");
    require(reloaded->name() == project->name(), "the project name changed on reloading");
    ide::Component* back = reloaded->vbComponents().find(added->name());
    require(back != nullptr && back->fileBytes() == added->fileBytes(), "the new class changed on reloading");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> parts;
    for (std::string_view input(reinterpret_cast<const char*>(data), size), separator = "\n%%\n";;) {
        const auto at = input.find(separator);
        parts.emplace_back(input.substr(0, at));
        if (at == std::string_view::npos) break;
        input.remove_prefix(at + separator.size());
    }
    fuzzExtension(parts[0]);
    fuzzEnvironment(parts);
    return 0;
}
