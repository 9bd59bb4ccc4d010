#include "gen/printer.h"

#include <stdexcept>
#include <string>

namespace rw {
namespace {

constexpr std::string_view kSpaces = "                                                                ";

std::string_view valueOf(TemplateVars vars, std::string_view name) {
    for (const TemplateVar& v : vars) {
        if (v.name == name) return v.value;
    }
    throw std::invalid_argument("template variable not given: " + std::string(name));
}

}  // namespace

void Printer::emit(TemplateVars vars, std::string_view text) {
    if (!text.empty() && text.front() == '\n') text.remove_prefix(1);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view rest = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!rest.empty() && indent_ > 0) file_.text(kSpaces.substr(0, static_cast<std::size_t>(indent_)));
        for (std::size_t dollar = rest.find('$'); dollar != std::string_view::npos; dollar = rest.find('$')) {
            const std::size_t close = rest.find('$', dollar + 1);
            if (close == std::string_view::npos) throw std::invalid_argument("unpaired $ in template");
            file_.text(rest.substr(0, dollar));
            const std::string_view name = rest.substr(dollar + 1, close - dollar - 1);
            file_.text(name.empty() ? std::string_view("$") : valueOf(vars, name));
            rest.remove_prefix(close + 1);
        }
        file_.text(rest);
        file_.endLine();
    }
}

void Printer::line(std::string_view text) {
    file_.text(text);
    file_.endLine();
}

void Printer::emptyLines(int count) {
    for (int k = 0; k < count; ++k) file_.endLine();
}

}  // namespace rw
