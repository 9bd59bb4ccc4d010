// Editing in the environment: typing into a code module and closing a
// project, as the workbench's code window and File menu do.
#include <algorithm>

#include "platform/ide/environment.h"
#include "platform/ide/vb_text.h"

namespace rw::ide {

void CodeModule::insertLines(int line, const std::string& text) {
    if (line < 1 || line > countOfLines() + 1) throw ideError(5, "Invalid procedure call or argument");
    // Every line end separates two lines, so n lines joined by CR LF come
    // back as the same n lines.
    std::vector<Line> inserted;
    for (RawLine& raw : splitRawLines(text)) inserted.push_back({std::move(raw.bytes), {}});
    if (text.empty() || text.back() == '\r' || text.back() == '\n') inserted.push_back({"", {}});
    lines_.insert(lines_.begin() + (line - 1), std::make_move_iterator(inserted.begin()),
                  std::make_move_iterator(inserted.end()));
    owner_.markChanged();
}

std::unique_ptr<Project> Environment::closeProject(const Project& project) {
    const auto it = std::find_if(projects_.begin(), projects_.end(), [&](const auto& p) { return p.get() == &project; });
    if (it == projects_.end()) return nullptr;
    std::unique_ptr<Project> closed = std::move(*it);
    projects_.erase(it);
    return closed;
}

}  // namespace rw::ide
