#include "platform/folder_lock.h"

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#endif

namespace rw {

RuntimeError folderInUse(const std::string& folder) {
    return RuntimeError(kErrPermissionDenied, kAddInSource,
                        "Permission denied: another Rowwright run is using the folder \"" + folder + "\"");
}

#ifndef _WIN32
// Windows: win_folder_lock.cpp.
namespace {

class PosixFolderLock final : public FolderLock {
public:
    ~PosixFolderLock() override {
        for (const int fd : fds_) ::close(fd);  // closing the last descriptor releases the lock
    }

    void add(const std::string& folder) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !held_.insert({st.st_dev, st.st_ino}).second) {
            ::close(fd);  // the same folder by another name: already held
            return;
        }
        int rc;
        do {
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        const int error = errno;
        if (rc != 0) {
            ::close(fd);
            if (error == EWOULDBLOCK) throw folderInUse(folder);
            return;
        }
        fds_.push_back(fd);
    }

private:
    std::vector<int> fds_;
    std::set<std::pair<dev_t, ino_t>> held_;
};

}  // namespace

std::unique_ptr<FolderLock> PosixFileSystem::lockFolders(const std::vector<std::string>& folders) {
    auto lock = std::make_unique<PosixFolderLock>();
    for (const std::string& folder : folders) lock->add(folder);
    return lock;
}

#endif

}  // namespace rw
