#include "core/project_file.h"

#include "platform/cp1252.h"

namespace rw {
namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(current));
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

ProjectFileWriter::ProjectFileWriter(FileTable& files, const GenerationSettings& settings)
    : files_(files), settings_(settings) {}

ProjectFileWriter::~ProjectFileWriter() { abandon(); }

void ProjectFileWriter::writeLine(const std::string& line) {
    files_.at(fileNumber_).line(line);
    if (extending_) present_.insert(line);
}

void ProjectFileWriter::create() {
    const GenerationSettings& s = settings_;
    // Written beside its final name and renamed over it when the run closes
    // it, so a run that ends early leaves an earlier project file as it was.
    tempPath_ = freeTempPathBeside(files_.fileSystem(), s.msProjectFile);
    fileNumber_ = files_.openForOutput(tempPath_);
    const std::string name = s.project.txtProjName;
    writeLine(s.mbStdExe ? "Type=Exe" : s.mbActiveXExe ? "Type=OleExe" : "Type=OleDll");
    writeLine("Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#C:\\WINNT\\System32\\STDOLE2.TLB#OLE Automation");
    writeLine("Reference=*\\G{00000201-0000-0010-8000-00AA006D2EA4}#2.1#0#C:\\Program Files\\Common Files\\System\\ADO\\msado15.dll#Microsoft ActiveX Data Objects 2.1 Library");
    writeLine("Module=modRowwrightErrHndlr; modRowwrightErrHndlr.bas");
    writeLine("Title=" + quoted(name));
    writeLine("Name=" + quoted(name));
    writeLine("Startup=" + quoted("(None)"));
    writeLine("Class=clsRwtConn; clsRwtConn.cls");
}

ProjectFileFlags ProjectFileWriter::extend() {
    const GenerationSettings& s = settings_;
    FileSystem& fs = files_.fileSystem();
    const std::vector<std::string> lines = splitLines(cp1252::toUtf8(fs.readAll(s.msProjectFile)));

    ProjectFileFlags flags;
    std::vector<std::string> kept;
    bool holding = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (holding) {
            heldBack_.push_back(line);
            continue;
        }
        if (i == 0) {
            const auto eq = line.find('=');
            flags.projectTypeWord = eq == std::string::npos ? line : line.substr(eq + 1);
        }
        if (line.find("modRowwrightErrHndlr") != std::string::npos) flags.hasErrorHandlerModule = true;
        if (line.find("clsRwtConn") != std::string::npos) flags.hasConnectionClass = true;
        if (line.find("[RVB]") != std::string::npos || (!line.empty() && line[0] == '[')) {
            holding = true;
            heldBack_.push_back(line);
            continue;
        }
        kept.push_back(line);
    }
    if (!flags.hasErrorHandlerModule)
        kept.push_back("Module=modRowwrightErrHndlr; " + joinPath(s.msStoreDir, "modRowwrightErrHndlr.bas"));
    if (!flags.hasConnectionClass) kept.push_back("Class=clsRwtConn; " + joinPath(s.msStoreDir, "clsRwtConn.cls"));

    tempPath_ = freeTempPathBeside(fs, s.msProjectFile);
    extending_ = true;
    fileNumber_ = files_.openForOutput(tempPath_);
    for (const std::string& line : kept) writeLine(line);
    return flags;
}

void ProjectFileWriter::appendTable(const std::string& classBase, const std::unordered_set<std::string>& listed) {
    for (const std::string& cls : {"cls" + classBase, "cls" + classBase + "Coll"}) {
        const std::string line = "Class=" + cls + "; " + joinPath(settings_.msStoreDir, cls + ".cls");
        if (extending_ && (present_.count(line) || listed.count(cls))) continue;
        writeLine(line);
    }
}

void ProjectFileWriter::close() {
    if (fileNumber_ == 0) return;
    for (const std::string& line : heldBack_) files_.at(fileNumber_).line(line);
    const int number = fileNumber_;
    fileNumber_ = 0;
    files_.close(number);
    if (!tempPath_.empty()) {
        files_.fileSystem().rename(tempPath_, settings_.msProjectFile);
        tempPath_.clear();
    }
}

void ProjectFileWriter::abandon() noexcept {
    try {
        if (fileNumber_ != 0) {
            const int number = fileNumber_;
            fileNumber_ = 0;
            files_.close(number);
        }
    } catch (...) {
    }
    try {
        if (!tempPath_.empty()) files_.fileSystem().remove(tempPath_);
    } catch (...) {
    }
    tempPath_.clear();
}

}  // namespace rw
