#include "support/scripted_ui.h"

namespace rw {

void ScriptedUi::showError(const std::string& text, const ErrorSubject& subject) {
    msgBox(text, kStyleExclamation);
    messages.back().path = subject.path;
}

int ScriptedUi::msgBox(const std::string& text, int style, const std::string& title) {
    messages.push_back({text, style, title, {}});
    if (answers.empty()) return fallback;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ScriptedUi::promptDataSource(const std::vector<std::string>& dataSources, std::string& connectionString) {
    dataSourcePrompts.push_back(dataSources);
    if (dataSourceAnswers.empty()) return false;
    connectionString = dataSourceAnswers.front();
    dataSourceAnswers.pop_front();
    return true;
}

}  // namespace rw
