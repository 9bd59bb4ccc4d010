#include "cli/console_ui.h"

#include <algorithm>
#include <istream>
#include <ostream>

namespace rw::cli {

std::string terminalText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool showsProgress(bool terminal, std::chrono::steady_clock::duration elapsed) {
    return terminal && elapsed > std::chrono::seconds(1);
}

std::string progressText(std::size_t done, std::size_t total) {
    return "reading fields: " + std::to_string(done) + " of " + std::to_string(total) +
           (total == 1 ? " table" : " tables");
}

ProgressLine::ProgressLine(std::ostream& err, bool terminal, Now now)
    : err_(err), terminal_(terminal), now_(std::move(now)), start_(now_()) {}

void ProgressLine::update(std::size_t done, std::size_t total) {
    const auto now = now_();
    if (!showsProgress(terminal_, now - start_)) return;
    // A tenth of a second between rewrites is enough for the eye; the last
    // count is always shown.
    if (shown_ > 0 && done < total && now - written_ < std::chrono::milliseconds(100)) return;
    written_ = now;
    const std::string text = progressText(done, total);
    // Spaces cover what is left of a longer line before it.
    err_ << '\r' << text << std::string(shown_ > text.size() ? shown_ - text.size() : 0, ' ');
    err_.flush();
    shown_ = std::max(shown_, text.size());
}

void ProgressLine::end() {
    if (shown_ == 0) return;
    err_ << '\r' << std::string(shown_, ' ') << '\r';
    err_.flush();
    shown_ = 0;
}

ConsoleUi::ConsoleUi(std::ostream& err, std::istream& in, bool interactive, bool answerYes)
    : err_(err), in_(in), interactive_(interactive), answerYes_(answerYes) {}

int ConsoleUi::msgBox(const std::string& text, int style, const std::string& title) {
    if (title != kProductName) err_ << title << ": ";
    err_ << terminalText(text) << '\n';
    // The low bits of the style choose the buttons: 4 Yes/No, 3 Yes/No/Cancel.
    const int buttons = style & 7;
    if (buttons != 4 && buttons != 3) {
        if (style == kStyleExclamation) ++errors_;
        err_.flush();
        return kAnswerOk;
    }
    return ask(buttons == 3);
}

void ConsoleUi::showError(const std::string& text, const ErrorSubject& subject) {
    msgBox(text, kStyleExclamation);
    if (subject.path.empty()) return;
    // Control characters in a path would break the line or drive the terminal.
    std::string path = subject.path;
    for (char& c : path)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    err_ << (subject.folder ? "Folder: " : "File: ") << path << '\n';
    err_.flush();
}

int ConsoleUi::ask(bool withCancel) {
    if (answerYes_) {
        err_ << "Answered Yes (--yes).\n";
        err_.flush();
        return kAnswerYes;
    }
    if (!interactive_) {
        err_ << "Answered No: standard input is not a terminal (--yes answers Yes).\n";
        err_.flush();
        return kAnswerNo;
    }
    for (;;) {
        err_ << (withCancel ? "[y]es, [n]o or [c]ancel? " : "[y]es or [n]o? ");
        err_.flush();
        std::string line;
        if (!std::getline(in_, line)) {
            err_ << "\nAnswered No: end of input.\n";
            err_.flush();
            return kAnswerNo;
        }
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
        const auto start = line.find_first_not_of(" \t");
        line.erase(0, start == std::string::npos ? line.size() : start);
        for (char& c : line)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (line == "y" || line == "yes") return kAnswerYes;
        if (line == "n" || line == "no") return kAnswerNo;
        if (withCancel && (line == "c" || line == "cancel")) return kAnswerCancel;
    }
}

}  // namespace rw::cli
