// Components and their code modules.
#include "platform/cp1252.h"
#include "platform/ide/environment.h"
#include "platform/ide/vb_text.h"

namespace rw::ide {
namespace {

constexpr const char* kCrLf = "\r\n";

bool isBlockStart(std::string_view line) {
    const std::string_view text = trimmed(line);
    return equalsNoCase(text, "BEGIN") || startsWithNoCase(text, "Begin ") || startsWithNoCase(text, "BeginProperty");
}

bool isBlockEnd(std::string_view line) {
    const std::string_view text = trimmed(line);
    return equalsNoCase(text, "END") || equalsNoCase(text, "EndProperty");
}

std::string nameAttributeLine(const std::string& name) { return "Attribute VB_Name = \"" + name + "\""; }

}  // namespace

// The header of a new component's file, as VB6 writes it for a new module or
// class in a project of that kind.
void Component::startNewFile() {
    moduleAttributes_.push_back(nameAttributeLine(name_));
    if (type_ != kClassModule) return;
    header_ = {"VERSION 1.0 CLASS",
               "BEGIN",
               "  MultiUse = -1  'True",
               "  Persistable = 0  'NotPersistable",
               "  DataBindingBehavior = 0  'vbNone",
               "  DataSourceBehavior  = 0  'vbNone",
               "  MTSTransactionMode  = 0  'NotAnMTSObject",
               "END"};
    const bool exposed = project_.type_ == kProjectActiveXExe || project_.type_ == kProjectActiveXDll;
    moduleAttributes_.push_back("Attribute VB_GlobalNameSpace = False");
    moduleAttributes_.push_back("Attribute VB_Creatable = True");
    moduleAttributes_.push_back("Attribute VB_PredeclaredId = False");
    moduleAttributes_.push_back(std::string("Attribute VB_Exposed = ") + (exposed ? "True" : "False"));
}

// ---- code module --------------------------------------------------------

void CodeModule::deleteLines(int start, int count) {
    if (count == 0) return;
    const int total = countOfLines();
    if (start < 1 || count < 0 || start > total || count > total - start + 1)
        throw ideError(5, "Invalid procedure call or argument");
    const auto first = lines_.begin() + (start - 1);
    lines_.erase(first, first + count);
    owner_.markChanged();
}

std::size_t CodeModule::insertionPoint() const {
    // Before the first procedure, and before the blank and comment lines
    // that lead up to it (they belong to that procedure).
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!isProcedureLine(lines_[i].text)) continue;
        while (i > 0 && isBlankOrComment(lines_[i - 1].text) && lines_[i - 1].attributes.empty()) --i;
        return i;
    }
    return lines_.size();
}

void CodeModule::addFromFile(const std::string& path) {
    std::string bytes;
    try {
        bytes = owner_.project_.fs_.readAll(path);
    } catch (const RuntimeError& e) {
        throw ideFileError(e, path);
    }
    std::vector<Line> inserted;
    std::vector<std::string> leading;
    std::vector<std::pair<std::string, std::string>> moduleAttributes;
    for (std::string& text : splitTextLines(cp1252::toUtf8(bytes))) {
        if (!isAttributeLine(text)) {
            inserted.push_back({std::move(text), {}});
        } else if (isModuleAttribute(text)) {
            moduleAttributes.emplace_back(attributeKey(text), std::move(text));
        } else {
            (inserted.empty() ? leading : inserted.back().attributes).push_back(std::move(text));
        }
    }

    // The name first: a name the project cannot take leaves the module as it was.
    for (const auto& [key, line] : moduleAttributes) {
        if (equalsNoCase(key, "VB_Name")) owner_.setName(attributeValue(line));
    }
    for (const auto& [key, line] : moduleAttributes) {
        if (!equalsNoCase(key, "VB_Name")) owner_.setModuleAttribute(key, line);
    }

    const std::size_t at = insertionPoint();
    if (!leading.empty()) {
        auto& target = at == 0 ? leadingAttributes_ : lines_[at - 1].attributes;
        target.insert(target.end(), leading.begin(), leading.end());
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::make_move_iterator(inserted.begin()),
                  std::make_move_iterator(inserted.end()));
    if (!inserted.empty() || !leading.empty() || !moduleAttributes.empty()) owner_.markChanged();
}

std::string CodeModule::lines(int start, int count) const {
    if (start < 1 || count < 0 || start - 1 + count > countOfLines())
        throw ideError(5, "Invalid procedure call or argument");
    std::string text;
    for (int i = start - 1; i < start - 1 + count; ++i) {
        if (i > start - 1) text += kCrLf;
        text += lines_[static_cast<std::size_t>(i)].text;
    }
    return text;
}

// ---- component ----------------------------------------------------------

Component::Component(Project& project, int type, std::string name)
    : project_(project), type_(type), name_(std::move(name)), code_(*this) {}

void Component::load(const std::string& bytes) {
    const std::vector<std::string> text = splitTextLines(cp1252::toUtf8(bytes));
    std::size_t i = 0;
    if (i < text.size() && startsWithNoCase(text[i], "VERSION ")) {
        header_.push_back(text[i++]);
        // A form lists the controls it uses before its BEGIN block.
        while (i < text.size() && startsWithNoCase(text[i], "Object") && text[i].find('=') != std::string::npos)
            header_.push_back(text[i++]);
    }
    if (i < text.size() && isBlockStart(text[i])) {
        int depth = 0;
        do {
            if (isBlockStart(text[i])) ++depth;
            else if (isBlockEnd(text[i])) --depth;
            header_.push_back(text[i++]);
        } while (i < text.size() && depth > 0);
    }
    while (i < text.size() && isAttributeLine(text[i])) {
        if (equalsNoCase(attributeKey(text[i]), "VB_Name")) {
            const std::string fromFile = attributeValue(text[i]);
            if (!fromFile.empty()) name_ = fromFile;
        }
        moduleAttributes_.push_back(text[i++]);
    }
    for (; i < text.size(); ++i) {
        if (isAttributeLine(text[i])) {
            (code_.lines_.empty() ? code_.leadingAttributes_ : code_.lines_.back().attributes).push_back(text[i]);
        } else {
            code_.lines_.push_back({text[i], {}});
        }
    }
}

void Component::setName(const std::string& name) {
    if (name == name_) return;
    if (!isValidName(name)) throw ideError(380, "Invalid property value");
    for (const auto& other : project_.components_.list_) {
        if (other.get() != this && equalsNoCase(other->name_, name))
            throw ideError(32813, "Name conflicts with existing module, project, or object library");
    }
    name_ = name;
    markChanged();
}

void Component::setModuleAttribute(const std::string& key, const std::string& line) {
    for (std::string& existing : moduleAttributes_) {
        if (equalsNoCase(attributeKey(existing), key)) {
            existing = line;
            return;
        }
    }
    moduleAttributes_.push_back(line);
}

std::string Component::fileBytes() const {
    std::string utf8;
    const auto put = [&utf8](const std::string& line) {
        utf8 += line;
        utf8 += kCrLf;
    };
    for (const std::string& line : header_) put(line);
    bool named = false;
    for (const std::string& line : moduleAttributes_) named = named || equalsNoCase(attributeKey(line), "VB_Name");
    if (!named) put(nameAttributeLine(name_));
    for (const std::string& line : moduleAttributes_)
        put(equalsNoCase(attributeKey(line), "VB_Name") ? nameAttributeLine(name_) : line);
    for (const std::string& line : code_.leadingAttributes_) put(line);

    // Empty lines at the end of the module are not saved.
    std::size_t end = code_.lines_.size();
    while (end > 0 && code_.lines_[end - 1].text.empty() && code_.lines_[end - 1].attributes.empty()) --end;
    for (std::size_t i = 0; i < end; ++i) {
        put(code_.lines_[i].text);
        for (const std::string& attribute : code_.lines_[i].attributes) put(attribute);
    }
    return cp1252::fromUtf8(utf8);
}

void Component::writeTo(const std::string& path) {
    const std::string bytes = fileBytes();
    project_.writeFile(path, bytes);
    dirty_ = false;
}

void Component::saveAs(const std::string& fileName) {
    if (fileName.empty()) throw ideError(75, "Path/File access error: ''");
    const std::string path = project_.resolve(fileName);
    writeTo(path);
    if (path != path_) {
        path_ = path;
        pathText_ = fileName;
    }
}

std::string Component::listingLine() const {
    switch (type_) {
        case kStdModule: return "Module=" + name_ + "; " + pathText_;
        case kClassModule: return "Class=" + name_ + "; " + pathText_;
        case kUserControl: return "UserControl=" + pathText_;
        case kPropPage: return "PropertyPage=" + pathText_;
        case kDocObject: return "UserDocument=" + pathText_;
        case kActiveXDesigner: return "Designer=" + pathText_;
        default: return "Form=" + pathText_;
    }
}

}  // namespace rw::ide
