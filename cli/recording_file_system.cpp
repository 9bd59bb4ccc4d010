#include "cli/recording_file_system.h"

namespace rw::cli {

namespace {
bool isStaged(const std::string& path) { return path.size() >= 4 && path.compare(path.size() - 4, 4, ".rwg") == 0; }
}  // namespace

// Passes the bytes on and marks the file complete when it closes after
// every write succeeded and at least one byte was written.
class RecordingSink final : public ByteSink {
public:
    RecordingSink(RecordingFileSystem& fs, std::size_t slot, std::unique_ptr<ByteSink> inner)
        : fs_(fs), slot_(slot), inner_(std::move(inner)) {}
    void write(std::string_view bytes) override {
        failed_ = true;
        inner_->write(bytes);
        failed_ = false;
        written_ += bytes.size();
    }
    void close() override {
        const bool complete = !failed_ && written_ > 0;
        inner_->close();
        fs_.slots_[slot_].complete = complete;
    }

private:
    RecordingFileSystem& fs_;
    std::size_t slot_;
    std::unique_ptr<ByteSink> inner_;
    bool failed_ = false;
    std::size_t written_ = 0;
};

std::size_t RecordingFileSystem::note(const std::string& path) {
    if (const auto it = slotOf_.find(path); it != slotOf_.end()) {
        slots_[it->second].complete = false;  // written again from the start
        return it->second;
    }
    slots_.push_back({path, false});
    if (!isStaged(path)) slotOf_.emplace(path, slots_.size() - 1);
    else slots_.back().path.reset();
    return slots_.size() - 1;
}

void RecordingFileSystem::forget(const std::string& path) {
    const auto it = slotOf_.find(path);
    if (it == slotOf_.end()) return;
    slots_[it->second].path.reset();
    slotOf_.erase(it);
}

std::vector<std::string> RecordingFileSystem::written() const {
    std::vector<std::string> paths;
    for (const Slot& slot : slots_)
        if (slot.path && slot.complete) paths.push_back(*slot.path);
    return paths;
}

std::unique_ptr<ByteSink> RecordingFileSystem::tracked(const std::string& path, std::unique_ptr<ByteSink> sink) {
    return std::make_unique<RecordingSink>(*this, note(path), std::move(sink));
}

std::unique_ptr<ByteSink> RecordingFileSystem::create(const std::string& path) {
    auto sink = inner_.create(path);
    return tracked(path, std::move(sink));
}

TempFile RecordingFileSystem::createTempBeside(const std::string& target) {
    TempFile temp = inner_.createTempBeside(target);
    temp.sink = tracked(temp.path, std::move(temp.sink));
    return temp;
}

void RecordingFileSystem::moved(const std::string& from, const std::string& to) {
    const auto was = slotOf_.find(from);
    if (was == slotOf_.end() || isStaged(to) || slotOf_.count(to) != 0) {
        // Either a file from elsewhere now stands at `to`, or `to` is
        // already listed: the source name is gone either way.
        const bool complete = was == slotOf_.end() || slots_[was->second].complete;
        forget(from);
        slots_[note(to)].complete = complete;
        return;
    }
    // A temporary file takes its final name in the place it was created.
    const std::size_t slot = was->second;
    slotOf_.erase(was);
    slots_[slot].path = to;
    slotOf_.emplace(to, slot);
}

void RecordingFileSystem::rename(const std::string& from, const std::string& to) {
    inner_.rename(from, to);
    moved(from, to);
}

void RecordingFileSystem::replace(const std::string& temp, const std::string& target) {
    inner_.replace(temp, target);
    moved(temp, target);
}

void RecordingFileSystem::remove(const std::string& path) {
    inner_.remove(path);
    forget(path);
}

}  // namespace rw::cli
