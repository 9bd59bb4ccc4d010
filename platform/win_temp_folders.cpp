// Private folders under the user's temporary folder (GetTempPath), which
// Windows keeps in the user's own profile. The name is random and the
// folder is created exclusively, so no folder planted in advance is used.
#define _CRT_RAND_S
#include <cstdio>
#include <cstdlib>

#include "platform/file_system.h"
#include "platform/temp_folders.h"
#include "platform/win_api.h"

namespace rw {

namespace {
// Enough tries that a clash of random names never ends a run.
constexpr int kFolderNameTries = 100;

std::string randomName() {
    unsigned int a = 0, b = 0;
    rand_s(&a);
    rand_s(&b);
    char name[32];
    std::snprintf(name, sizeof name, "rowwright-%08x%04x", a, b & 0xFFFFu);
    return name;
}
}  // namespace

std::string systemTempFolder() {
    wchar_t buffer[MAX_PATH + 2];
    const DWORD n = GetTempPathW(MAX_PATH + 2, buffer);
    std::string folder = n == 0 || n > MAX_PATH + 1 ? std::string("C:\\Windows\\Temp") : win::narrow({buffer, n});
    while (folder.size() > 3 && isPathSeparator(folder.back())) folder.pop_back();
    return folder;
}

std::string SystemTempFolders::makePrivateFolder() {
    const std::string parent = parent_.empty() ? systemTempFolder() : parent_;
    for (int n = 0; n < kFolderNameTries; ++n) {
        const std::string path = joinPath(parent, randomName());
        if (CreateDirectoryW(win::widen(path).c_str(), nullptr)) return path;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS) throw win::folderError(error, parent);
    }
    throw win::folderError(ERROR_ALREADY_EXISTS, parent);
}

void SystemTempFolders::removeFolder(const std::string& path) noexcept {
    // RemoveDirectory refuses a folder that is not empty, so nothing but the
    // folder itself can go.
    RemoveDirectoryW(win::widen(path).c_str());
}

}  // namespace rw
