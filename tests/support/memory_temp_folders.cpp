#include "support/memory_temp_folders.h"

#include "platform/runtime_error.h"

namespace rw {

std::string MemoryTempFolders::makePrivateFolder() {
    if (const long number = std::exchange(failWith, 0); number != 0) throw fileErrorNumber(number);
    const std::string path = joinPath(parent_, "rowwright-" + std::to_string(made.size() + 1));
    fs_.createDirectories(path);
    made.push_back(path);
    return path;
}

void MemoryTempFolders::removeFolder(const std::string& path) noexcept {
    const std::string prefix = path + "/";
    for (const auto& [file, bytes] : fs_.files())
        if (file.compare(0, prefix.size(), prefix) == 0) return;
    removed.push_back(path);
}

}  // namespace rw
