#include "platform/file_system.h"

#include "platform/replace_file.h"
#include "platform/runtime_error.h"

#ifndef _WIN32
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rw {

bool isPathSeparator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

std::size_t lastSeparator(std::string_view path) {
#ifdef _WIN32
    return path.find_last_of("/\\");
#else
    return path.rfind('/');
#endif
}

bool isAbsolutePath(std::string_view path) {
    if (path.empty()) return false;
#ifdef _WIN32
    if (path.size() >= 2 && path[1] == ':') return true;
#endif
    return isPathSeparator(path.front());
}

bool fitsFileName(std::string_view name) {
#ifdef _WIN32
    if (!name.empty() && name.back() == '.') return false;
    return name.find_first_of("/\\:*?\"<>|") == std::string_view::npos;
#else
    // "\" too: a project file is read on Windows, where it separates folders.
    return name.find_first_of("/\\") == std::string_view::npos;
#endif
}

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    path += kPathSeparator;
    path += name;
    return path;
}

std::string absoluteFrom(const std::string& workingFolder, const std::string& path) {
    if (workingFolder.empty() || path.empty() || isAbsolutePath(path)) return path;
    return isPathSeparator(workingFolder.back()) ? workingFolder + path : joinPath(workingFolder, path);
}

std::string tempPathBeside(const std::string& path, int n) {
    const auto slash = lastSeparator(path);
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + ".rwnew" + (n == 0 ? "" : std::to_string(n));
}

// ---- POSIX --------------------------------------------------------------
#ifndef _WIN32

namespace {

// Enough names to pass over leftovers and planted files without looping forever.
constexpr int kTempNameTries = 1000;

class FdSink final : public ByteSink {
public:
    FdSink(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~FdSink() override {
        if (fd_ >= 0) ::close(fd_);
    }
    void write(std::string_view bytes) override {
        if (fd_ < 0) throw fileErrorNumber(kErrPathFileAccess, path_);
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR) continue;
                throw fileError(errno, path_);
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }
    void close() override {
        if (fd_ < 0) return;
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 && errno != EINTR) throw fileError(errno, path_);
    }

private:
    int fd_;
    std::string path_;
};

}  // namespace

std::unique_ptr<ByteSink> PosixFileSystem::create(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw fileError(errno, path);
    return std::make_unique<FdSink>(fd, path);
}

TempFile PosixFileSystem::createTempBeside(const std::string& target) {
    const std::string beside = followLinks(target);
    // The new text of an existing file gets that file's mode before it takes
    // its place; until then nobody else may read it.
    const mode_t mode = exists(beside) ? 0600 : 0666;
    for (int n = 0; n < kTempNameTries; ++n) {
        std::string path = tempPathBeside(beside, n);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) return {path, std::make_unique<FdSink>(fd, path)};
        if (errno != EEXIST) throw fileError(errno, path);
    }
    throw fileErrorNumber(kErrPathFileAccess, tempPathBeside(beside, 0));
}

void PosixFileSystem::replace(const std::string& temp, const std::string& target) { replaceFile(temp, target); }

bool PosixFileSystem::isWritable(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || (st.st_mode & 0222) == 0) return false;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

std::string PosixFileSystem::readAll(const std::string& path) {
    // Opened without waiting, so that a pipe nobody writes to reads as empty
    // instead of stalling the run; then read as usual.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw errno == ENOENT ? fileErrorNumber(kErrFileNotFound, path) : fileError(errno, path);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const auto readSome = [&](char* into, std::size_t most) {
        for (;;) {
            const ssize_t n = ::read(fd, into, most);
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno == EINTR) continue;
            const int e = errno;
            ::close(fd);
            throw fileError(e, path);
        }
    };
    std::string bytes;
    // A regular file's size is known: its text is read straight into the
    // string. Whatever follows (from a pipe, or a file still growing) is
    // read in pieces until the end.
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t filled = 0;
        while (filled < bytes.size()) {
            const std::size_t n = readSome(bytes.data() + filled, bytes.size() - filled);
            if (n == 0) break;
            filled += n;
        }
        bytes.resize(filled);
    }
    char buffer[65536];
    while (const std::size_t n = readSome(buffer, sizeof buffer)) bytes.append(buffer, n);
    ::close(fd);
    return bytes;
}

bool PosixFileSystem::exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PosixFileSystem::isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void PosixFileSystem::rename(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) throw fileError(errno, to);
}

void PosixFileSystem::remove(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) throw fileError(errno, path);
}

void PosixFileSystem::createDirectories(const std::string& path) {
    std::string partial;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        const std::size_t next = path.find('/', pos);
        partial = path.substr(0, next == std::string::npos ? path.size() : next);
        pos = next == std::string::npos ? path.size() + 1 : next + 1;
        if (partial.empty() || isDirectory(partial)) continue;
        if (::mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) throw folderError(errno, partial);
    }
}

#endif  // _WIN32

}  // namespace rw
