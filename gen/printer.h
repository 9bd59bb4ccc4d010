#pragma once
// Writes generated VB text from templates that look like the output.
//
// A template is whole lines; a newline right at its start is skipped, so a
// raw string can begin on the line after its opening quote:
//
//     p.emit({{"obj", n.objectParameter()}, {"cls", n.objectClass()}}, R"vb(
//     Public Function Add(ByRef $obj$ As $cls$) As Boolean
//     )vb");
//
// "$name$" is replaced by the value named `name` and "$$" writes one "$".
// Values are written as they are, never read as templates, so a "$" in a
// table name stays. Every non-empty line gets the current indent in front.
//
// A template is text known when the program is compiled (a string literal,
// or a table of them). The first time one is written at an indent it is
// compiled once: its fixed text converted to Windows-1252 with CR LF and the
// indent in place, split where the values go. Every later use copies that
// text straight into the file's buffer and converts only the values.
#include <cstddef>
#include <initializer_list>
#include <string_view>

#include "platform/text_files.h"

namespace rw {

// The name of a template's value. Only compile-time text converts to it, so
// a name at the same address is the same name: the printer finds a value
// again by where its name was last time.
class TemplateName {
public:
    consteval TemplateName(const char* name) : name_(name) {}
    operator std::string_view() const { return name_; }
    const char* data() const { return name_.data(); }
    std::size_t size() const { return name_.size(); }

private:
    std::string_view name_;
};

struct TemplateVar {
    TemplateName name;
    std::string_view value;
};
using TemplateVars = std::initializer_list<TemplateVar>;

// The text of a template. Only compile-time text converts to it, which is
// what lets its compiled form be kept by the text's address.
class Template {
public:
    consteval Template() = default;
    consteval Template(const char* text) : text_(text) {}
    std::string_view text() const { return text_; }

private:
    std::string_view text_;
};

class Printer {
public:
    explicit Printer(TextFile& file) : file_(file) {}

    // Writes the template's lines. A "$name$" with no value of that name, or
    // an unpaired "$", is a fault in the generator: std::invalid_argument.
    void emit(TemplateVars vars, Template text);
    void emit(Template text) { emit({}, text); }
    // Writes one line exactly as given (no substitution, no indent).
    void line(std::string_view text);
    void emptyLines(int count = 1);

    // Adds `spaces` to the indent until the guard goes.
    class Indent {
    public:
        Indent(Printer& p, int spaces) : p_(p), spaces_(spaces) { p_.indent_ += spaces_; }
        ~Indent() { p_.indent_ -= spaces_; }
        Indent(const Indent&) = delete;
        Indent& operator=(const Indent&) = delete;

    private:
        Printer& p_;
        int spaces_;
    };

    TextFile& file() { return file_; }

private:
    TextFile& file_;
    int indent_ = 0;
};

}  // namespace rw
