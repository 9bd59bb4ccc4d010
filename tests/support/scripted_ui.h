#pragma once
// A ui for tests: it records what it is asked to show and answers from queues.
#include <deque>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace rw {

// Records every message and answers from a queue (then with `fallback`).
class ScriptedUi final : public Ui {
public:
    struct Message {
        std::string text;
        int style;
        std::string title;
        std::string path;  // the subject of an error
    };

    int msgBox(const std::string& text, int style, const std::string& title = kProductName) override;
    void showError(const std::string& text, const ErrorSubject& subject) override;
    void beep() override { ++beeps; }
    void setBusy(bool busy) override { busy ? ++busyDepth : --busyDepth; }

    // Answers the data source dialog from a queue; an empty queue cancels.
    bool promptDataSource(const std::vector<std::string>& dataSources, std::string& connectionString) override;

    std::deque<int> answers;
    int fallback = kAnswerOk;
    std::deque<std::string> dataSourceAnswers;
    std::vector<std::vector<std::string>> dataSourcePrompts;
    std::vector<Message> messages;
    int beeps = 0;
    int busyDepth = 0;
};

}  // namespace rw
