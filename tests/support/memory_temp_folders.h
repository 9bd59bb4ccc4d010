#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/runtime_error.h"
#include "platform/temp_folders.h"
#include "support/memory_file_system.h"

namespace rw {

// Private folders in a MemoryFileSystem, named parent + "/rowwright-" + a
// counter; remembers what it made and removed, and can be told to fail.
class MemoryTempFolders final : public TempFolders {
public:
    explicit MemoryTempFolders(MemoryFileSystem& fs, std::string parent = "/tmp")
        : fs_(fs), parent_(std::move(parent)) {}
    std::string makePrivateFolder() override {
        if (const long number = std::exchange(failWith, 0); number != 0) throw fileErrorNumber(number);
        made.push_back(joinPath(parent_, "rowwright-" + std::to_string(made.size() + 1)));
        fs_.createDirectories(made.back());
        return made.back();
    }
    // Leaves a folder that still holds files.
    void removeFolder(const std::string& path) noexcept override {
        for (const auto& [file, bytes] : fs_.files())
            if (file.starts_with(path + "/")) return;
        removed.push_back(path);
    }

    // The next makePrivateFolder fails with this run-time error number (0: no fault).
    long failWith = 0;
    std::vector<std::string> made;
    std::vector<std::string> removed;

private:
    MemoryFileSystem& fs_;
    std::string parent_;
};

}  // namespace rw
