#include "cli/recording_file_system.h"

namespace rw::cli {

namespace {
bool isStaged(const std::string& path) { return path.size() >= 4 && path.compare(path.size() - 4, 4, ".rwg") == 0; }
}  // namespace

void RecordingFileSystem::note(const std::string& path) {
    if (isStaged(path) || slotOf_.count(path) != 0) return;
    slotOf_.emplace(path, slots_.size());
    slots_.emplace_back(path);
}

void RecordingFileSystem::forget(const std::string& path) {
    const auto it = slotOf_.find(path);
    if (it == slotOf_.end()) return;
    slots_[it->second].reset();
    slotOf_.erase(it);
}

std::vector<std::string> RecordingFileSystem::written() const {
    std::vector<std::string> paths;
    for (const auto& slot : slots_)
        if (slot) paths.push_back(*slot);
    return paths;
}

std::unique_ptr<ByteSink> RecordingFileSystem::create(const std::string& path) {
    auto sink = inner_.create(path);
    note(path);
    return sink;
}

void RecordingFileSystem::rename(const std::string& from, const std::string& to) {
    inner_.rename(from, to);
    const auto was = slotOf_.find(from);
    if (was == slotOf_.end() || isStaged(to) || slotOf_.count(to) != 0) {
        // Either a file from elsewhere now stands at `to`, or `to` is
        // already listed: the source name is gone either way.
        forget(from);
        note(to);
        return;
    }
    // A temporary file takes its final name in the place it was created.
    const std::size_t slot = was->second;
    slotOf_.erase(was);
    slots_[slot] = to;
    slotOf_.emplace(to, slot);
}

void RecordingFileSystem::remove(const std::string& path) {
    inner_.remove(path);
    forget(path);
}

}  // namespace rw::cli
