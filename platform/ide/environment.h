#pragma once
// The development environment the add-in works in: VB6 projects loaded from
// their .vbp files, their references and components, and each component's
// code module. Project and component files are read and written in
// Windows-1252; inside, every string is UTF-8.
//
// A component's code module is its file's text below the header (the
// VERSION line, the BEGIN ... End block and the leading Attribute lines).
// Attribute lines inside the code (member attributes such as
// "Attribute Item.VB_UserMemId = 0") belong to the line above them: they are
// kept and saved with it but are not code lines.
//
// Every failure throws a RuntimeError with the source kIdeSource; errors of
// files name the file in the description.
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace rw::ide {

inline constexpr const char* kIdeSource = "RwtIde";

// Project types, as the Type line of a .vbp names them.
enum ProjectType : int {
    kProjectOther = -1,  // a Type word this environment does not know
    kProjectStandardExe = 0,   // Type=Exe
    kProjectActiveXExe = 1,    // Type=OleExe
    kProjectActiveXDll = 2,    // Type=OleDll
    kProjectActiveXControl = 3,  // Type=Control
};

// Component types.
enum ComponentType : int {
    kStdModule = 1,
    kClassModule = 2,
    kVBForm = 5,
    kVBMDIForm = 6,
    kPropPage = 7,
    kUserControl = 8,
    kDocObject = 9,
    kActiveXDesigner = 11,
};

class Project;
class Component;

class CodeModule {
public:
    // The number of code lines (attribute lines are not counted).
    int countOfLines() const { return static_cast<int>(lines_.size()); }
    // Removes `count` lines from line `start` (1-based) with their attribute
    // lines. A count of 0 does nothing; lines outside the module raise
    // error 5.
    void deleteLines(int start, int count = 1);
    // Inserts the text of a file (Windows-1252) before the first procedure,
    // or at the end when the module has none. Module attribute lines in the
    // text ("Attribute VB_Name = ...") become the component's attributes,
    // VB_Name renaming it; member attribute lines stay with the line above.
    void addFromFile(const std::string& path);
    // Inserts `text` before line `line` (countOfLines() + 1 appends); each
    // CR LF, LF or CR separates two lines, so the empty text is one empty
    // line. Lines outside that range raise error 5.
    void insertLines(int line, const std::string& text);
    // Lines `start` .. start + count - 1, joined by CR LF.
    std::string lines(int start, int count) const;

private:
    friend class Component;
    explicit CodeModule(Component& owner) : owner_(owner) {}

    struct Line {
        std::string text;
        std::vector<std::string> attributes;  // member attribute lines that follow it
    };
    std::size_t insertionPoint() const;

    Component& owner_;
    std::vector<std::string> leadingAttributes_;  // member attributes before the first line
    std::vector<Line> lines_;
};

class Component {
public:
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    int type() const { return type_; }
    const std::string& name() const { return name_; }
    // Renames the component. A name that is no identifier raises 380, one
    // that another component of the project has raises 32813.
    void setName(const std::string& name);
    // True when the component has changes that are not saved; a component
    // added to the project is unsaved until it is first saved.
    bool isDirty() const { return dirty_; }
    // Saves the component to `fileName` (relative names are taken from the
    // project's folder) and makes that its file from now on.
    void saveAs(const std::string& fileName);
    // The path of the component's file; empty for a component never saved.
    const std::string& fileName() const { return path_; }
    CodeModule& codeModule() { return code_; }
    const CodeModule& codeModule() const { return code_; }
    // The whole file text a save would write now (Windows-1252 bytes).
    std::string fileBytes() const;

private:
    friend class Project;
    friend class CodeModule;
    friend class VBComponents;
    Component(Project& project, int type, std::string name);

    void load(const std::string& bytes);
    void startNewFile();
    void setModuleAttribute(const std::string& key, const std::string& line);
    void markChanged() { dirty_ = true; }
    void writeTo(const std::string& path);
    std::string listingLine() const;

    Project& project_;
    int type_;
    std::string name_;
    std::string path_;        // resolved path of the file
    std::string pathText_;    // the file as the .vbp names it
    int vbpLine_ = -1;        // index of its line in the .vbp, -1 for a new component
    std::string listedName_;  // the name and file text of that line as read,
    std::string listedPath_;  // to tell whether it must be rewritten
    bool dirty_ = false;
    std::vector<std::string> header_;            // VERSION, Object and BEGIN ... End lines
    std::vector<std::string> moduleAttributes_;  // the header's Attribute lines
    CodeModule code_;
};

class References {
public:
    // References the type library unless the project already references the
    // GUID (whatever the version). A malformed GUID raises error 5.
    void addFromGuid(const std::string& guid, int major, int minor);
    bool contains(const std::string& guid) const;
    int count() const { return static_cast<int>(guids_.size()); }

private:
    friend class Project;
    explicit References(Project& project) : project_(project) {}
    Project& project_;
    std::vector<std::string> guids_;  // normalised: upper case, in braces
    std::vector<std::string> added_;  // Reference lines still to be written
};

class VBComponents {
public:
    using List = std::vector<std::unique_ptr<Component>>;
    // Adds an empty standard module (1) or class module (2) with the next
    // free default name (Module1, Class1, ...). Other types raise error 5.
    Component& add(int type);
    // The first component of that name (exactly), or null.
    Component* find(const std::string& name);
    int count() const { return static_cast<int>(list_.size()); }
    Component& item(int index) { return *list_.at(static_cast<std::size_t>(index)); }
    List::const_iterator begin() const { return list_.begin(); }
    List::const_iterator end() const { return list_.end(); }

private:
    friend class Project;
    friend class Component;
    explicit VBComponents(Project& project) : project_(project) {}
    Project& project_;
    List list_;
};

class Project {
public:
    // Reads the project file and every component file it lists.
    static std::unique_ptr<Project> load(FileSystem& fs, const std::string& vbpPath);
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    int type() const { return type_; }
    const std::string& typeWord() const { return typeWord_; }
    const std::string& name() const { return name_; }
    const std::string& fileName() const { return vbpPath_; }
    // The folder of the .vbp, where new components are saved.
    const std::string& folder() const { return folder_; }
    References& references() { return references_; }
    VBComponents& vbComponents() { return components_; }
    // True when a component or the project file has unsaved changes.
    bool isDirty() const;

    // Writes every unsaved component to its file (a new one beside the .vbp
    // under its name; an existing file the project does not own there raises
    // error 58 before anything is written), then the .vbp when its listing
    // changed. Untouched files are not written at all. Each file is written
    // to a temporary file and renamed over the old one.
    void save();

private:
    friend class Component;
    friend class CodeModule;
    friend class References;
    friend class VBComponents;
    Project(FileSystem& fs, std::string vbpPath);

    struct VbpLine {
        std::string bytes;   // the line as read, without its end
        std::string ending;  // "\r\n", "\n", "\r" or "" (last line)
    };
    void parse();
    void findAnchors();
    std::string resolve(const std::string& pathText) const;
    // Writes a whole file through a temporary file beside it.
    void writeFile(const std::string& path, const std::string& bytes);
    std::string newFilePath(const Component& c) const;
    bool listingChanged() const;
    void rewriteVbp();

    FileSystem& fs_;
    std::string vbpPath_;
    std::string folder_;
    int type_ = kProjectOther;
    std::string typeWord_;
    std::string name_ = "Project1";
    std::vector<VbpLine> vbp_;
    int referenceAnchor_ = -1;  // new Reference lines go after this line
    int componentAnchor_ = -1;  // new component lines go after this line
    References references_;
    VBComponents components_;
};

// The loaded projects, in the order they were loaded.
class Environment {
public:
    explicit Environment(FileSystem& fs) : fs_(fs) {}
    // Loads a project; a project already loaded from that path is returned
    // as it is.
    Project& loadProject(const std::string& vbpPath);
    const std::vector<std::unique_ptr<Project>>& projects() const { return projects_; }
    // Takes a loaded project out of the list, unsaved changes and all, and
    // hands it over (null when it is not loaded), so that a caller whose
    // windows may still refer to it can keep it alive.
    std::unique_ptr<Project> closeProject(const Project& project);

private:
    FileSystem& fs_;
    std::vector<std::unique_ptr<Project>> projects_;
};

}  // namespace rw::ide
