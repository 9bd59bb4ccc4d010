#include "run/name_checks.h"
#include "model/namer.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>
#include <vector>

#include "model/names.h"
#include "run/project_file.h"
#include "platform/cp1252.h"
#include "platform/runtime_error.h"

namespace rw {
namespace {

constexpr long kErrBadFileName = 52;
constexpr long kErrFileAlreadyOpen = 58;

// The length in bytes of the control character at text[i] (below U+0020,
// or U+007F to U+009F), or 0 when there is none.
std::size_t controlAt(std::string_view text, std::size_t i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x20 || b == 0x7F) return 1;
    if (b == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F &&
        static_cast<unsigned char>(text[i + 1]) >= 0x80)
        return 2;
    return 0;
}

bool hasControl(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (controlAt(text, i) != 0) return true;
    return false;
}

// A character with no Windows-1252 form (or a byte that is not UTF-8)
// becomes "?" in the Windows-1252 text.
bool outsideCp1252(std::string_view text) {
    const std::string bytes = cp1252::fromUtf8(text);
    return std::count(bytes.begin(), bytes.end(), '?') != std::count(text.begin(), text.end(), '?');
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A path in a comparable form: "\" taken as a separator, a relative path
// taken from `folder`, "." and ".." and doubled separators folded away; on
// Windows, whose file names ignore case, in lower case.
std::string comparablePath(std::string path, const std::string& folder) {
    std::replace(path.begin(), path.end(), '\\', '/');
    std::filesystem::path p(path);
    if (p.is_relative()) p = std::filesystem::path(folder) / p;
    std::string comparable = p.lexically_normal().string();
#ifdef _WIN32
    std::replace(comparable.begin(), comparable.end(), '\\', '/');
    for (char& c : comparable)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
#endif
    return comparable;
}

struct ListedClass {
    std::string name;      // as the project file spells it
    std::string pathText;  // as the project file writes it
    std::string path;      // comparable
};

// The Class= lines of the project file before its first section, by name key.
std::unordered_map<std::string, ListedClass> listedClasses(FileSystem& fs, const std::string& projectFile) {
    std::unordered_map<std::string, ListedClass> listed;
    std::string bytes;
    try {
        bytes = fs.readAll(projectFile);
    } catch (const RuntimeError&) {
        return listed;  // the run reports it when it prepares the project file
    }
    const std::string folder = std::filesystem::path(projectFile).parent_path().string();
    for (const std::string& line : splitLines(cp1252::toUtf8(bytes))) {
        if (line.find("[RVB]") != std::string::npos || (!line.empty() && line[0] == '[')) break;
        const auto eq = line.find('=');
        if (eq == std::string::npos || nameKey(trimmed(std::string_view(line).substr(0, eq))) != "CLASS") continue;
        const std::string_view value = std::string_view(line).substr(eq + 1);
        const auto semicolon = value.find(';');
        if (semicolon == std::string_view::npos) continue;
        ListedClass c{std::string(trimmed(value.substr(0, semicolon))),
                      std::string(trimmed(value.substr(semicolon + 1))), {}};
        c.path = comparablePath(c.pathText, folder);
        listed.emplace(nameKey(c.name), std::move(c));
    }
    return listed;
}

class TableChecker {
public:
    TableChecker(const GenerationSettings& s, const FieldGrid& grid, FileSystem& fs, Ui& ui)
        : settings_(s), grid_(grid), ui_(ui) {
        if (targetMode(s) == TargetMode::Existing) listed_ = listedClasses(fs, s.msProjectFile);
    }

    // True when the table is accepted; otherwise its message was shown.
    bool accept(const std::string& table, std::unordered_set<std::string>& listedHere) {
        const auto shown = [&] { return "Table \"" + shownName(table) + "\" was not generated: "; };
        if (!fitsFileName(table) || hasControl(table) || outsideCp1252(table))
            return refuse(kErrBadFileName, shown() + "its name cannot be used for a file.");
        for (const std::size_t index : grid_.tableRowIndices(table)) {
            const std::string& field = grid_.row(index).field;
            if (hasControl(field))
                return refuse(kErrBadFileName,
                              shown() + "column \"" + shownName(field) + "\" has a control character in its name.");
        }
        names_.assign(classBaseName(table));
        assignNameKey(keys_[0], names_.base());
        if (keys_[0] == "RWTCONN")
            return refuse(kErrFileAlreadyOpen,
                          shown() + "its class " + names_.objectClass() + " is the connection class.");
        const std::string* classes[] = {&names_.objectClass(), &names_.collectionClass()};
        for (int k = 0; k < 2; ++k) {
            assignNameKey(keys_[k], *classes[k]);
            const auto earlier = generated_.find(keys_[k]);
            if (earlier != generated_.end())
                return refuse(kErrFileAlreadyOpen, shown() + "its class " + *classes[k] +
                                                       " is already generated for table \"" +
                                                       shownName(earlier->second) + "\".");
        }
        const std::string* sameFile[2] = {};
        for (int k = 0; k < 2; ++k) {
            const auto listed = listed_.find(keys_[k]);
            if (listed == listed_.end()) continue;
            const std::string file = k == 0 ? names_.objectClassFile() : names_.collectionClassFile();
            if (listed->second.path != comparablePath(joinPath(settings_.msStoreDir, file), {})) {
                return refuse(kErrFileAlreadyOpen, shown() + "its class " + listed->second.name +
                                                       " is already in the project as " + listed->second.pathText +
                                                       ".");
            }
            sameFile[k] = classes[k];
        }
        for (int k = 0; k < 2; ++k) {
            generated_.emplace(keys_[k], table);
            if (sameFile[k]) listedHere.insert(*sameFile[k]);
        }
        return true;
    }

private:
    bool refuse(long number, const std::string& description) {
        ShowError(ui_, number, std::string(kAddInSource) + " (frmFields.cmdFinish_Click)", description);
        return false;
    }

    const GenerationSettings& settings_;
    const FieldGrid& grid_;
    Ui& ui_;
    std::unordered_map<std::string, ListedClass> listed_;
    std::unordered_map<std::string, std::string> generated_;  // class name key -> table
    // Kept from table to table.
    ClassNames names_;
    std::string keys_[2];
};

}  // namespace

std::string shownName(std::string_view name) {
    std::string out;
    for (std::size_t i = 0; i < name.size();) {
        if (const std::size_t n = controlAt(name, i); n != 0) {
            out += '?';
            i += n;
        } else {
            out += name[i++];
        }
    }
    return out;
}

TableNameChecks checkTableNames(const GenerationSettings& s, const FieldGrid& grid, FileSystem& fs, Ui& ui) {
    TableNameChecks checks;
    TableChecker checker(s, grid, fs, ui);
    for (std::size_t at = 0; at < grid.rowCount(); ++at) {
        // A table is checked at its first row.
        const std::string& table = grid.row(at).table;
        if (grid.startsTable(at) && !checker.accept(table, checks.listed)) checks.refused.insert(table);
    }
    return checks;
}

std::string projectNameMessage(std::string_view name) {
    const char* why = nullptr;
    if (name.find_first_of("/\\") != std::string_view::npos)
        why = "it contains a path separator (/ or \\)";
    else if (name == "." || name == "..")
        why = "it cannot be \".\" or \"..\"";
    else if (name.find('"') != std::string_view::npos)
        why = "it contains a double quote";
    else if (!fitsFileName(name))
        why = "it cannot be a file name on Windows";
    else if (hasControl(name))
        why = "it contains a control character";
    else if (outsideCp1252(name))
        why = "it contains a character outside Windows-1252";
    if (why == nullptr) return {};
    return std::string("You have chosen an invalid project name: ") + why + ".  Please try again.";
}

}  // namespace rw
