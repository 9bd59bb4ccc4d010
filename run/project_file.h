#pragma once
// The project file (.vbp) that records the generated files: a new one with
// its head lines, or an existing one extended with the support lines it
// lacks. Both take the class lines of each table as the run goes.
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "model/settings.h"
#include "platform/text_files.h"

namespace rw {

struct ProjectFileFlags {
    std::string projectTypeWord;
    bool hasErrorHandlerModule = false;
    bool hasConnectionClass = false;
};

class ProjectFileWriter {
public:
    ProjectFileWriter(FileTable& files, const GenerationSettings& settings);
    ~ProjectFileWriter();

    // Starts a new msProjectFile with the head lines of a new project, in a
    // temporary file beside it that replaces any file of that name only when
    // close() succeeds. An existing file the user may not write is refused
    // (error 75).
    void create();

    // Reads the existing msProjectFile, takes the type word and the two
    // has-flags from it, and starts its rewrite: the kept lines and any
    // missing support lines go into a temporary file in the same folder,
    // which replaces the original only when close() succeeds. Lines from the
    // first section header ("[" at the start, or "[RVB]" anywhere) on are held
    // back and written after the class lines. A file that is no project file
    // (a NUL byte, or no line beginning "Type=": binary, UTF-16, empty) or
    // that the user may not write is refused (error 75) before anything is
    // written.
    ProjectFileFlags extend();

    // The two class lines of one table. When extending, a line the file
    // already holds, or one for a class in `listed` (the file lists it for
    // the same file, spelt otherwise), is not written again.
    void appendTable(const std::string& classBase, const std::unordered_set<std::string>& listed = {});

    // Writes any held-back lines, closes the file and puts it in the place
    // of msProjectFile (keeping that file's mode, owner, link and hard links).
    void close();

    // Gives up: closes the file and removes the temporary file, leaving any
    // earlier project file as it was. Safe to call at any time.
    void abandon() noexcept;

private:
    void openTemporary();
    void writeLine(const std::string& line);

    FileTable& files_;
    const GenerationSettings& settings_;
    int fileNumber_ = 0;
    bool extending_ = false;
    std::string tempPath_;
    std::vector<std::string> heldBack_;
    std::unordered_set<std::string> present_;
};

// Splits text at CR LF, CR or LF; the line ends are not part of the lines.
std::vector<std::string> splitLines(const std::string& text);

}  // namespace rw
