#include "platform/temp_folders.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_system.h"
#include "platform/runtime_error.h"

namespace rw {

std::string systemTempFolder() {
    const char* tmpdir = std::getenv("TMPDIR");
    if (tmpdir != nullptr && *tmpdir != '\0') {
        struct stat st {};
        if (::stat(tmpdir, &st) == 0 && S_ISDIR(st.st_mode)) {
            std::string folder = tmpdir;
            while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
            return folder;
        }
    }
    return "/tmp";
}

std::string SystemTempFolders::makePrivateFolder() {
    const std::string parent = parent_.empty() ? systemTempFolder() : parent_;
    std::string pattern = joinPath(parent, "rowwright-XXXXXX");
    // mkdtemp makes the folder with mode 0700 and a name nobody can guess.
    if (::mkdtemp(pattern.data()) == nullptr) throw folderError(errno, parent);
    return pattern;
}

void SystemTempFolders::removeFolder(const std::string& path) noexcept {
    // rmdir refuses a folder that is not empty, so nothing but the folder
    // itself can go.
    ::rmdir(path.c_str());
}

}  // namespace rw
