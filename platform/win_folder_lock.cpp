// Folder locks on Windows, which cannot lock a folder itself: a named mutex
// per folder, named by the folder's volume and file index so that every
// spelling of one folder meets the same mutex. The system lets go of it when
// the process ends, however it ends, and no file is made.
#include <cstdio>
#include <set>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/folder_lock.h"
#include "platform/win_api.h"

namespace rw {

namespace {

class WinFolderLock final : public FolderLock {
public:
    void add(const std::string& folder) {
        win::Handle dir = win::openFile(folder, 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
        BY_HANDLE_FILE_INFORMATION info{};
        if (!dir.valid() || !GetFileInformationByHandle(dir.get(), &info)) return;
        const unsigned long long index = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        if (!held_.insert({info.dwVolumeSerialNumber, index}).second) return;  // already held
        wchar_t name[96];
        for (const wchar_t* space : {L"Global", L"Local"}) {
            std::swprintf(name, 96, L"%ls\\rowwright-folder-%08lx-%016llx", space, info.dwVolumeSerialNumber, index);
            win::Handle mutex(CreateMutexW(nullptr, FALSE, name));
            if (!mutex.valid()) continue;  // no right to the global names: the session's
            if (GetLastError() == ERROR_ALREADY_EXISTS) throw folderInUse(folder);
            mutexes_.push_back(std::move(mutex));
            return;
        }
    }

private:
    std::vector<win::Handle> mutexes_;
    std::set<std::pair<DWORD, unsigned long long>> held_;
};

}  // namespace

std::unique_ptr<FolderLock> PosixFileSystem::lockFolders(const std::vector<std::string>& folders) {
    auto lock = std::make_unique<WinFolderLock>();
    for (const std::string& folder : folders) lock->add(folder);
    return lock;
}

}  // namespace rw
