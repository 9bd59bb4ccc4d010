// Projects: reading a .vbp and its components, references, new components
// and saving.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/cp1252.h"
#include "platform/ide/environment.h"
#include "platform/ide/vb_text.h"

namespace rw::ide {
namespace {

struct KnownLibrary {
    const char* guid;
    const char* pathAndDescription;
};

// Type libraries whose file and description a new Reference line can name.
constexpr KnownLibrary kKnownLibraries[] = {
    {"{00000200-0000-0010-8000-00AA006D2EA4}",
     "C:\\Program Files\\Common Files\\System\\ADO\\msado20.tlb#Microsoft ActiveX Data Objects 2.0 Library"},
};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case, or empty when the
// text is no GUID (the braces may be left out).
std::string normalGuid(std::string_view text) {
    text = trimmed(text);
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
    if (text.size() != 36) return {};
    std::string guid = "{";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? c != '-' : !std::isxdigit(c)) return {};
        guid += static_cast<char>(std::toupper(c));
    }
    return guid + "}";
}

// The GUID of a Reference line's value ("*\G{...}#2.0#0#path#description").
std::string referenceGuid(std::string_view value) {
    if (!startsWithNoCase(value, "*\\G")) return {};
    const auto close = value.find('}');
    return close == std::string_view::npos ? std::string() : normalGuid(value.substr(3, close - 2));
}

std::string unquoted(std::string_view value) {
    value = trimmed(value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return std::string(value);
}

// The component type of a listing key, or 0 for a key that lists no component.
int componentTypeOfKey(std::string_view key) {
    if (equalsNoCase(key, "Module")) return kStdModule;
    if (equalsNoCase(key, "Class")) return kClassModule;
    if (equalsNoCase(key, "Form")) return kVBForm;
    if (equalsNoCase(key, "UserControl")) return kUserControl;
    if (equalsNoCase(key, "PropertyPage")) return kPropPage;
    if (equalsNoCase(key, "UserDocument")) return kDocObject;
    if (equalsNoCase(key, "Designer")) return kActiveXDesigner;
    return 0;
}

int projectTypeOfWord(std::string_view word) {
    if (word == "Exe") return kProjectStandardExe;
    if (word == "OleExe") return kProjectActiveXExe;
    if (word == "OleDll") return kProjectActiveXDll;
    if (word == "Control") return kProjectActiveXControl;
    return kProjectOther;
}

// A listing line "Key=value" before the first section: its key and value.
bool keyLine(const std::string& text, std::string& key, std::string& value) {
    const auto eq = text.find('=');
    if (eq == std::string::npos) return false;
    key = text.substr(0, eq);
    value = text.substr(eq + 1);
    return true;
}

bool isSectionLine(const std::string& text) { return !text.empty() && text.front() == '['; }

}  // namespace

// ---- references ---------------------------------------------------------

bool References::contains(const std::string& guid) const {
    const std::string wanted = normalGuid(guid);
    return !wanted.empty() && std::find(guids_.begin(), guids_.end(), wanted) != guids_.end();
}

void References::addFromGuid(const std::string& guid, int major, int minor) {
    const std::string normal = normalGuid(guid);
    if (normal.empty() || major < 0 || minor < 0) throw ideError(5, "Invalid procedure call or argument");
    if (contains(normal)) return;
    char version[32];
    std::snprintf(version, sizeof version, "%x.%x", static_cast<unsigned>(major), static_cast<unsigned>(minor));
    std::string tail = "#";
    for (const KnownLibrary& known : kKnownLibraries) {
        if (normal == known.guid) tail = known.pathAndDescription;
    }
    added_.push_back("Reference=*\\G" + normal + "#" + version + "#0#" + tail);
    guids_.push_back(normal);
}

// ---- components ---------------------------------------------------------

Component& VBComponents::add(int type) {
    if (type != kStdModule && type != kClassModule) throw ideError(5, "Invalid procedure call or argument");
    const std::string prefix = type == kStdModule ? "Module" : "Class";
    std::string name;
    for (int n = 1;; ++n) {
        name = prefix + std::to_string(n);
        const bool taken = std::any_of(list_.begin(), list_.end(),
                                       [&](const auto& c) { return equalsNoCase(c->name(), name); });
        if (!taken) break;
    }
    list_.push_back(std::unique_ptr<Component>(new Component(project_, type, name)));
    Component& component = *list_.back();
    component.startNewFile();
    component.dirty_ = true;
    return component;
}

Component* VBComponents::find(const std::string& name) {
    for (const auto& c : list_) {
        if (c->name() == name) return c.get();
    }
    return nullptr;
}

// ---- project ------------------------------------------------------------

Project::Project(FileSystem& fs, std::string vbpPath)
    : fs_(fs), vbpPath_(std::move(vbpPath)), references_(*this), components_(*this) {
    const auto slash = lastSeparator(vbpPath_);
    if (slash != std::string::npos) folder_ = slash == 0 ? vbpPath_.substr(0, 1) : vbpPath_.substr(0, slash);
}

std::unique_ptr<Project> Project::load(FileSystem& fs, const std::string& vbpPath) {
    std::unique_ptr<Project> project(new Project(fs, vbpPath));
    project->parse();
    return project;
}

std::string Project::resolve(const std::string& pathText) const {
    // A project written on Windows separates folders with "\"; here they
    // take the platform's separator.
    std::string path = pathText;
    std::replace(path.begin(), path.end(), kPathSeparator == '/' ? '\\' : '/', kPathSeparator);
    if (path.empty() || isAbsolutePath(path) || folder_.empty()) return path;
    return folder_.size() == 1 && isPathSeparator(folder_[0]) ? folder_ + path : joinPath(folder_, path);
}

void Project::parse() {
    std::string bytes;
    try {
        bytes = fs_.readAll(vbpPath_);
    } catch (const RuntimeError& e) {
        throw ideFileError(e, vbpPath_);
    }
    for (RawLine& line : splitRawLines(bytes)) vbp_.push_back({std::move(line.bytes), std::move(line.ending)});

    bool typed = false;
    for (std::size_t i = 0; i < vbp_.size(); ++i) {
        const std::string text = cp1252::toUtf8(vbp_[i].bytes);
        if (isSectionLine(text)) break;
        std::string key;
        std::string value;
        if (!keyLine(text, key, value)) continue;
        if (equalsNoCase(key, "Type")) {
            typed = true;
            typeWord_ = value;
            type_ = projectTypeOfWord(value);
        } else if (equalsNoCase(key, "Reference")) {
            if (std::string guid = referenceGuid(value); !guid.empty()) references_.guids_.push_back(guid);
        } else if (equalsNoCase(key, "Name")) {
            name_ = unquoted(value);
        } else if (const int type = componentTypeOfKey(key); type != 0) {
            std::string name;
            std::string pathText = value;
            if (type == kStdModule || type == kClassModule) {
                const auto semicolon = value.find(';');
                name = std::string(trimmed(value.substr(0, semicolon)));
                pathText = semicolon == std::string::npos ? std::string() : value.substr(semicolon + 1);
            }
            pathText = std::string(trimmed(pathText));
            auto component = std::unique_ptr<Component>(new Component(*this, type, name));
            component->path_ = resolve(pathText);
            component->pathText_ = component->listedPath_ = pathText;
            component->vbpLine_ = static_cast<int>(i);
            std::string source;
            try {
                source = fs_.readAll(component->path_);
            } catch (const RuntimeError& e) {
                throw ideFileError(e, component->path_);
            }
            component->load(source);
            // The name the file gives is the one the listing is compared with.
            component->listedName_ = component->name_;
            if (type == kVBForm) {
                for (const std::string& line : component->header_) {
                    if (startsWithNoCase(trimmed(line), "Begin VB.MDIForm ")) component->type_ = kVBMDIForm;
                }
            }
            components_.list_.push_back(std::move(component));
        }
    }
    if (!typed) throw ideError(321, "Invalid file format: '" + vbpPath_ + "'");
    findAnchors();
}

void Project::findAnchors() {
    int typeLine = -1;
    int lastReference = -1;
    int lastObject = -1;
    int lastComponent = -1;
    for (std::size_t i = 0; i < vbp_.size(); ++i) {
        const std::string text = cp1252::toUtf8(vbp_[i].bytes);
        if (isSectionLine(text)) break;
        std::string key;
        std::string value;
        if (!keyLine(text, key, value)) continue;
        const int at = static_cast<int>(i);
        if (equalsNoCase(key, "Type") && typeLine < 0) typeLine = at;
        else if (equalsNoCase(key, "Reference")) lastReference = at;
        else if (equalsNoCase(key, "Object")) lastObject = at;
        else if (componentTypeOfKey(key) != 0) lastComponent = at;
    }
    referenceAnchor_ = lastReference >= 0 ? lastReference : typeLine;
    componentAnchor_ = lastComponent >= 0 ? lastComponent : std::max({typeLine, lastReference, lastObject});
}

bool Project::listingChanged() const {
    if (!references_.added_.empty()) return true;
    for (const auto& c : components_.list_) {
        if (c->vbpLine_ < 0 || c->pathText_ != c->listedPath_) return true;
        if ((c->type_ == kStdModule || c->type_ == kClassModule) && c->name_ != c->listedName_) return true;
    }
    return false;
}

bool Project::isDirty() const {
    if (listingChanged()) return true;
    return std::any_of(components_.list_.begin(), components_.list_.end(), [](const auto& c) { return c->dirty_; });
}

std::string Project::newFilePath(const Component& c) const {
    return c.name_ + (c.type_ == kStdModule ? ".bas" : ".cls");
}

void Project::writeFile(const std::string& path, const std::string& bytes) {
    std::string temp;
    try {
        TempFile file = fs_.createTempBeside(path);
        temp = file.path;
        file.sink->write(bytes);
        file.sink->close();
        fs_.replace(temp, path);
    } catch (const RuntimeError& e) {
        try {
            if (!temp.empty()) fs_.remove(temp);
        } catch (...) {
        }
        throw ideFileError(e, path);
    }
}

void Project::save() {
    // New components go beside the .vbp under their names; a file already
    // there (or another component's file) is never overwritten.
    std::vector<std::pair<Component*, std::string>> placed;
    for (const auto& c : components_.list_) {
        if (!c->path_.empty()) continue;
        const std::string pathText = newFilePath(*c);
        const std::string path = resolve(pathText);
        const bool owned = std::any_of(components_.list_.begin(), components_.list_.end(),
                                       [&](const auto& other) { return other->path_ == path; });
        if (owned || fs_.exists(path)) throw ideError(58, "File already exists: '" + path + "'");
        placed.emplace_back(c.get(), pathText);
    }
    for (auto& [component, pathText] : placed) {
        component->path_ = resolve(pathText);
        component->pathText_ = pathText;
    }
    for (const auto& c : components_.list_) {
        if (c->dirty_) c->writeTo(c->path_);
    }
    if (listingChanged()) rewriteVbp();
}

void Project::rewriteVbp() {
    std::string ending = "\r\n";
    for (const VbpLine& line : vbp_) {
        if (!line.ending.empty()) {
            ending = line.ending;
            break;
        }
    }
    const auto encoded = [&ending](const std::string& utf8) { return VbpLine{cp1252::fromUtf8(utf8), ending}; };

    std::vector<VbpLine> out;
    std::vector<std::pair<Component*, int>> placed;
    std::vector<Component*> added;
    for (const auto& c : components_.list_) {
        if (c->vbpLine_ < 0) added.push_back(c.get());
    }
    const auto putAnchored = [&](int index) {
        if (index == referenceAnchor_) {
            for (const std::string& line : references_.added_) out.push_back(encoded(line));
        }
        if (index == componentAnchor_) {
            for (Component* c : added) {
                placed.emplace_back(c, static_cast<int>(out.size()));
                out.push_back(encoded(c->listingLine()));
            }
        }
    };
    putAnchored(-1);
    for (std::size_t i = 0; i < vbp_.size(); ++i) {
        VbpLine line = vbp_[i];
        for (const auto& c : components_.list_) {
            if (c->vbpLine_ != static_cast<int>(i)) continue;
            const bool renamed = (c->type_ == kStdModule || c->type_ == kClassModule) && c->name_ != c->listedName_;
            if (renamed || c->pathText_ != c->listedPath_) line.bytes = cp1252::fromUtf8(c->listingLine());
            placed.emplace_back(c.get(), static_cast<int>(out.size()));
        }
        out.push_back(std::move(line));
        putAnchored(static_cast<int>(i));
    }
    for (std::size_t i = 0; i + 1 < out.size(); ++i) {
        if (out[i].ending.empty()) out[i].ending = ending;
    }

    std::string bytes;
    for (const VbpLine& line : out) bytes += line.bytes + line.ending;
    writeFile(vbpPath_, bytes);

    vbp_ = std::move(out);
    references_.added_.clear();
    for (auto& [component, index] : placed) {
        component->vbpLine_ = index;
        component->listedName_ = component->name_;
        component->listedPath_ = component->pathText_;
    }
    findAnchors();
}

// ---- environment --------------------------------------------------------

Project& Environment::loadProject(const std::string& vbpPath) {
    for (const auto& p : projects_) {
        if (p->fileName() == vbpPath) return *p;
    }
    projects_.push_back(Project::load(fs_, vbpPath));
    return *projects_.back();
}

}  // namespace rw::ide
