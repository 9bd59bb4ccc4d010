#pragma once
#include <deque>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace rw {

// A ui for tests: records every message and answers from a queue (then
// with `fallback`). `Base` is Ui or an interface that extends it.
template <class Base>
class ScriptedUiOver : public Base {
public:
    struct Message {
        std::string text;
        int style;
        std::string title = kProductName;
        std::string path{};  // the subject of an error
        bool operator==(const Message&) const = default;
    };

    int msgBox(const std::string& text, int style, const std::string& title = kProductName) override {
        messages.push_back({text, style, title});
        if (answers.empty()) return fallback;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showError(const std::string& text, const ErrorSubject& subject) override {
        msgBox(text, kStyleExclamation);
        messages.back().path = subject.path;
    }
    void beep() override { ++beeps; }
    void setBusy(bool busy) override { busy ? ++busyDepth : --busyDepth; }

    // Answers the data source dialog from a queue; an empty queue cancels.
    bool promptDataSource(const std::vector<std::string>& dataSources, std::string& connectionString) override {
        dataSourcePrompts.push_back(dataSources);
        if (dataSourceAnswers.empty()) return false;
        connectionString = dataSourceAnswers.front();
        dataSourceAnswers.pop_front();
        return true;
    }

    std::deque<int> answers;
    int fallback = kAnswerOk;
    std::deque<std::string> dataSourceAnswers;
    std::vector<std::vector<std::string>> dataSourcePrompts;
    std::vector<Message> messages;
    int beeps = 0;
    int busyDepth = 0;
};

class ScriptedUi final : public ScriptedUiOver<Ui> {};

// The messages shown, one line each with their style and title (CR LF as
// " | "), after the busy depth when it is off balance.
template <class Base>
std::string shownText(const ScriptedUiOver<Base>& ui) {
    std::string text = ui.busyDepth ? "busy " + std::to_string(ui.busyDepth) + "\n" : "";
    for (const auto& m : ui.messages) text += "message " + std::to_string(m.style) + " " + m.title + ": " + m.text + "\n";
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, " | ");
    return text;
}

}  // namespace rw
