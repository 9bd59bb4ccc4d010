#pragma once
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace rw {

// A file system in memory for tests: folders must be made before files go
// into them, and faults can be planted on chosen paths.
class MemoryFileSystem final : public FileSystem {
public:
    MemoryFileSystem() { dirs_.insert("/"); }
    std::unique_ptr<ByteSink> create(const std::string& path) override;
    // The first free name, as on disk; the memory has no links.
    TempFile createTempBeside(const std::string& target) override;
    void replace(const std::string& temp, const std::string& target) override { rename(temp, target); }
    bool isWritable(const std::string& path) override { return exists(path); }
    std::string readAll(const std::string& path) override;
    bool exists(const std::string& path) override { return files_.count(normal(path)) != 0; }
    bool isDirectory(const std::string& path) override { return dirs_.count(normal(path)) != 0; }
    void rename(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override { files_.erase(normal(path)); }
    void createDirectories(const std::string& path) override;
    // A folder is held while a lock on it lives; one that is not a folder is
    // passed over.
    std::unique_ptr<FolderLock> lockFolders(const std::vector<std::string>& folders) override;
    // Creating, writing more than `bytesAllowed` bytes to, or renaming onto
    // this path fails with the error number.
    void failCreate(const std::string& path, long number) { createFaults_[normal(path)] = number; }
    void failWrite(const std::string& path, std::size_t bytesAllowed, long number) {
        writeFaults_[normal(path)] = {bytesAllowed, number};
    }
    void failRename(const std::string& to, long number) { renameFaults_[normal(to)] = number; }
    // Puts a file directly (folders are made as needed).
    void put(const std::string& path, std::string bytes);
    const std::map<std::string, std::string>& files() const { return files_; }

private:
    friend class MemorySink;
    static std::string normal(std::string_view path);
    static std::string parentOf(const std::string& path);
    std::map<std::string, std::string> files_;
    std::set<std::string> dirs_;
    std::map<std::string, long> createFaults_;
    std::map<std::string, std::pair<std::size_t, long>> writeFaults_;
    std::map<std::string, long> renameFaults_;
    std::set<std::string> lockedFolders_;
};

}  // namespace rw
