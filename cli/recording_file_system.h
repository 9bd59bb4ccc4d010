#pragma once
// A file system that passes every call on and notes the files written
// through it, so the tool can list them after a run.
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"

namespace rw::cli {

class RecordingFileSystem final : public ForwardingFileSystem {
public:
    explicit RecordingFileSystem(FileSystem& inner) : ForwardingFileSystem(inner) {}

    std::unique_ptr<ByteSink> create(const std::string& path) override;
    TempFile createTempBeside(const std::string& target) override;
    void replace(const std::string& temp, const std::string& target) override;
    void rename(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override;

    // The files written completely (every write and the close succeeded,
    // and they hold at least one byte), each once, in the order they were
    // first created. A file renamed over another is listed under its final
    // name, in the place where it was created; a removed file is not listed;
    // staged code-only files (".rwg") are never listed.
    std::vector<std::string> written() const;

private:
    friend class RecordingSink;
    struct Slot {
        std::optional<std::string> path;  // empty: forgotten
        bool complete = false;
    };
    std::size_t note(const std::string& path);
    void forget(const std::string& path);
    void moved(const std::string& from, const std::string& to);
    std::unique_ptr<ByteSink> tracked(const std::string& path, std::unique_ptr<ByteSink> sink);

    // Slots in creation order, and the slot of each listed path, so a run of
    // many tables stays linear.
    std::vector<Slot> slots_;
    std::unordered_map<std::string, std::size_t> slotOf_;
};

}  // namespace rw::cli
