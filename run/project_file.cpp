#include "run/project_file.h"
#include "model/namer.h"

#include <algorithm>

#include "platform/cp1252.h"
#include "platform/runtime_error.h"

namespace rw {
namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// A project file is text with a Type line; anything else (a binary or
// UTF-16 file, an empty one) would be garbled by a rewrite.
bool isProjectText(const std::string& bytes, const std::vector<std::string>& lines) {
    return bytes.find('\0') == std::string::npos &&
           std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("Type=", 0) == 0; });
}

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

void ProjectFileWriter::openTemporary() {
    TempFile temp = files_.fileSystem().createTempBeside(settings_.msProjectFile);
    tempPath_ = temp.path;
    fileNumber_ = files_.openSink(std::move(temp.sink), temp.path);
}

void ProjectFileWriter::create() {
    const GenerationSettings& s = settings_;
    FileSystem& fs = files_.fileSystem();
    if (fs.exists(s.msProjectFile) && !fs.isWritable(s.msProjectFile))
        throw fileErrorNumber(kErrPathFileAccess, s.msProjectFile);
    openTemporary();
    const std::string name = s.project.txtProjName;
    const ProjectKind kind = projectKind(s);
    writeLine(kind == ProjectKind::StdExe       ? "Type=Exe"
              : kind == ProjectKind::ActiveXExe ? "Type=OleExe"
                                                : "Type=OleDll");
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
    const std::string bytes = fs.readAll(s.msProjectFile);
    const std::vector<std::string> lines = splitLines(cp1252::toUtf8(bytes));
    if (!isProjectText(bytes, lines) || !fs.isWritable(s.msProjectFile))
        throw fileErrorNumber(kErrPathFileAccess, s.msProjectFile);

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

    extending_ = true;
    openTemporary();
    for (const std::string& line : kept) writeLine(line);
    return flags;
}

void ProjectFileWriter::appendTable(const std::string& classBase, const std::unordered_set<std::string>& listed) {
    const ClassNames names(classBase);
    for (const std::string& cls : {names.objectClass(), names.collectionClass()}) {
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
    files_.fileSystem().replace(tempPath_, settings_.msProjectFile);
    tempPath_.clear();
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
