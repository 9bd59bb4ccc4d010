#pragma once
// The user interface of the command-line tool: message boxes become text on
// standard error, and questions are answered by --yes, by the user at the
// terminal, or No when nobody can be asked.
#include <chrono>
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>

#include "platform/ui.h"

namespace rw::cli {

class ConsoleUi final : public Ui {
public:
    // `interactive`: `in` is a terminal the user can answer on.
    ConsoleUi(std::ostream& err, std::istream& in, bool interactive, bool answerYes);

    int msgBox(const std::string& text, int style, const std::string& title = kProductName) override;
    // The message, then a line naming the file or folder of a file error.
    void showError(const std::string& text, const ErrorSubject& subject) override;

    // How many error messages (style 48) were shown.
    int errorCount() const { return errors_; }

private:
    int ask(bool withCancel);

    std::ostream& err_;
    std::istream& in_;
    bool interactive_;
    bool answerYes_;
    int errors_ = 0;
};

// Whether a progress line is shown: only on a terminal, and only once the
// work has taken more than a second (short work stays quiet).
bool showsProgress(bool terminal, std::chrono::steady_clock::duration elapsed);

// "reading fields: 120 of 1000 tables".
std::string progressText(std::size_t done, std::size_t total);

// A progress line on standard error, rewritten in place with CR and cleared
// by end(), so that the next message or listing starts on a clean line.
class ProgressLine {
public:
    using Now = std::function<std::chrono::steady_clock::time_point()>;
    // The work starts now; `terminal`: `err` is a terminal.
    ProgressLine(std::ostream& err, bool terminal, Now now = std::chrono::steady_clock::now);
    ~ProgressLine() { end(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void update(std::size_t done, std::size_t total);
    // Clears the line if one is shown.
    void end();

private:
    std::ostream& err_;
    bool terminal_;
    Now now_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point written_;  // when the line was last rewritten
    std::size_t shown_ = 0;  // the length of the line on the terminal
};

// Message box text for a terminal: CR LF and lone CR become line feeds.
std::string terminalText(const std::string& text);

}  // namespace rw::cli
