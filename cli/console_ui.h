#pragma once
// The user interface of the command-line tool: message boxes become text on
// standard error, and questions are answered by --yes, by the user at the
// terminal, or No when nobody can be asked.
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

// Message box text for a terminal: CR LF and lone CR become line feeds.
std::string terminalText(const std::string& text);

}  // namespace rw::cli
