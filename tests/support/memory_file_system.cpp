#include "support/memory_file_system.h"

#include <utility>

#include "platform/folder_lock.h"
#include "platform/runtime_error.h"

namespace rw {

class MemorySink final : public ByteSink {
public:
    MemorySink(MemoryFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
    void write(std::string_view bytes) override {
        if (closed_) throw fileErrorNumber(kErrPathFileAccess, path_);
        const auto fault = fs_.writeFaults_.find(path_);
        std::string& content = fs_.files_[path_];
        if (fault != fs_.writeFaults_.end() && content.size() + bytes.size() > fault->second.first) {
            content.append(bytes.substr(0, fault->second.first - content.size()));
            throw fileErrorNumber(fault->second.second, path_);
        }
        content.append(bytes);
    }
    void close() override { closed_ = true; }

private:
    MemoryFileSystem& fs_;
    std::string path_;
    bool closed_ = false;
};

namespace {

class MemoryFolderLock final : public FolderLock {
public:
    explicit MemoryFolderLock(std::set<std::string>& locked) : locked_(locked) {}
    ~MemoryFolderLock() override { std::erase_if(locked_, [&](const std::string& f) { return mine_.count(f) != 0; }); }
    void add(const std::string& folder, const std::string& shownAs) {
        if (!mine_.count(folder) && !locked_.insert(folder).second) throw folderInUse(shownAs);
        mine_.insert(folder);
    }

private:
    std::set<std::string>& locked_;
    std::set<std::string> mine_;
};

}  // namespace

// Repeated separators name the same place, as on a real file system; on
// Windows "\" separates as "/" does.
std::string MemoryFileSystem::normal(std::string_view path) {
    std::string out;
    for (const char c : path) {
        if (isPathSeparator(c) && !out.empty() && out.back() == '/') continue;
        out += isPathSeparator(c) ? '/' : c;
    }
    if (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

std::string MemoryFileSystem::parentOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::unique_ptr<ByteSink> MemoryFileSystem::create(const std::string& rawPath) {
    const std::string path = normal(rawPath);
    if (const auto f = createFaults_.find(path); f != createFaults_.end()) throw fileErrorNumber(f->second, rawPath);
    const std::string parent = parentOf(path);
    if (parent != "." && !dirs_.count(parent)) throw fileErrorNumber(kErrPathNotFound, rawPath);
    if (dirs_.count(path)) throw fileErrorNumber(kErrPathFileAccess, rawPath);
    files_[path].clear();
    return std::make_unique<MemorySink>(*this, path);
}

TempFile MemoryFileSystem::createTempBeside(const std::string& target) {
    for (int n = 0;; ++n) {
        std::string path = tempPathBeside(target, n);
        if (!exists(path)) return {path, create(path)};
    }
}

std::string MemoryFileSystem::readAll(const std::string& rawPath) {
    if (!exists(rawPath)) throw fileErrorNumber(kErrFileNotFound, rawPath);
    return files_.at(normal(rawPath));
}

void MemoryFileSystem::rename(const std::string& rawFrom, const std::string& rawTo) {
    const std::string to = normal(rawTo);
    if (const auto f = renameFaults_.find(to); f != renameFaults_.end()) throw fileErrorNumber(f->second, rawTo);
    const auto f = files_.find(normal(rawFrom));
    if (f == files_.end()) throw fileErrorNumber(kErrFileNotFound, rawFrom);
    std::string bytes = std::move(f->second);
    files_.erase(f), files_[to] = std::move(bytes);
}

void MemoryFileSystem::createDirectories(const std::string& rawPath) {
    std::string path = normal(rawPath);
    while (!path.empty() && path != "." && dirs_.insert(path).second) path = parentOf(path);
}

void MemoryFileSystem::put(const std::string& rawPath, std::string bytes) {
    const std::string path = normal(rawPath);
    createDirectories(parentOf(path));
    files_[path] = std::move(bytes);
}

std::unique_ptr<FolderLock> MemoryFileSystem::lockFolders(const std::vector<std::string>& folders) {
    auto lock = std::make_unique<MemoryFolderLock>(lockedFolders_);
    for (const std::string& folder : folders)
        if (isDirectory(folder)) lock->add(normal(folder), folder);
    return lock;
}

}  // namespace rw
