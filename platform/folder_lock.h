#pragma once
// Exclusive locks on the folders a run writes into, so that two runs never
// write into one folder at the same time (FileSystem::lockFolders). On disk
// the lock is taken on the folder itself (flock on the folder opened
// read-only): no lock file is made, and the system lets go of it when the
// process ends, however it ends.
#include <string>

#include "platform/runtime_error.h"

namespace rw {

// Holds its folders locked until it is destroyed.
class FolderLock {
public:
    virtual ~FolderLock() = default;
};

// The error for a folder that another run holds: 70 "Permission denied",
// naming the folder.
RuntimeError folderInUse(const std::string& folder);

}  // namespace rw
