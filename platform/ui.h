#pragma once
// What the add-in asks of the user interface: message boxes, the beep and
// the busy pointer. Qt, console and scripted implementations stand behind it.
#include <deque>
#include <string>
#include <vector>

#include "platform/runtime_error.h"

namespace rw {

// Message box style values.
enum MsgStyle : int {
    kStyleInformation = 64,
    kStyleExclamation = 48,
    kStyleQuestionYesNo = 36,
    kStyleCriticalYesNo = 20,
    kStyleCriticalYesNoCancel = 19,
};

// Message box answers.
enum MsgAnswer : int {
    kAnswerOk = 1,
    kAnswerCancel = 2,
    kAnswerYes = 6,
    kAnswerNo = 7,
};

inline constexpr const char* kProductName = "Rowwright";

class Ui {
public:
    virtual ~Ui() = default;
    // Shows a message box and returns the answer. The default title is the
    // product name.
    virtual int msgBox(const std::string& text, int style, const std::string& title = kProductName) = 0;
    // Shows an error's message box (style 48, default title). `subject`
    // names the file or folder a file error is about: a message box leaves
    // it out, a console adds a line for it.
    virtual void showError(const std::string& text, const ErrorSubject& subject) {
        (void)subject;
        msgBox(text, kStyleExclamation);
    }
    virtual void beep() {}
    virtual void setBusy(bool busy) { (void)busy; }
    // The driver manager's data source and login dialog: lists the data
    // sources and asks for a user and a password. On OK, fills
    // `connectionString` as a completed ODBC string ("DSN=..;UID=..;PWD=..")
    // and returns true; false when the user cancelled.
    virtual bool promptDataSource(const std::vector<std::string>& dataSources, std::string& connectionString) {
        (void)dataSources;
        (void)connectionString;
        return false;
    }
};

// Shows the busy pointer for its lifetime, so every way out restores it.
class BusyPointer {
public:
    explicit BusyPointer(Ui& ui) : ui_(ui) { ui_.setBusy(true); }
    ~BusyPointer() { ui_.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Ui& ui_;
};

// The error display: one exclamation box with the number, source and description.
void ShowError(Ui& ui, long vlNumber, const std::string& vsSource, const std::string& vsDescription,
               const ErrorSubject& subject = {});

// The text ShowError shows.
std::string errorMessageText(long number, const std::string& source, const std::string& description);

}  // namespace rw
