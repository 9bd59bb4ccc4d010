#include "platform/replace_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_system.h"
#include "platform/runtime_error.h"

namespace rw {
namespace {

// An open descriptor, closed on every way out.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now; false (errno set) when the close reported an error.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 || errno == EINTR;
    }

private:
    int fd_;
};

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Gives the temporary file the old file's owner, group and mode, and puts
// it on disk. False when the user may not give it that owner or group.
bool takeOwnerAndMode(const std::string& temp, const struct stat& old) {
    Fd fd(::open(temp.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat now {};
    if (fd.get() < 0 || ::fstat(fd.get(), &now) != 0) throw fileError(errno, temp);
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
        if (errno == EPERM) return false;
        throw fileError(errno, temp);
    }
    // After the owner: changing it clears the set-id bits.
    if (::fchmod(fd.get(), old.st_mode & 07777) != 0 || ::fsync(fd.get()) != 0 || !fd.close())
        throw fileError(errno, temp);
    return true;
}

// Writes the new text into the file itself, so that every hard link and the
// owner stay. The old text waits beside it until the new one is complete,
// and goes back in when the write fails.
void rewriteInPlace(const std::string& temp, const std::string& real) {
    const std::string text = PosixFileSystem().readAll(temp);
    const std::string old = PosixFileSystem().readAll(real);
    const std::string backup = real + ".rwbak";
    {
        // Never over an earlier backup: it may hold the only old text left.
        Fd fd(::open(backup.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd.get() < 0) throw fileError(errno, backup);
        if (!writeAll(fd.get(), old) || ::fsync(fd.get()) != 0 || !fd.close()) {
            const RuntimeError e = fileError(errno, backup);
            ::unlink(backup.c_str());
            throw e;
        }
    }
    Fd fd(::open(real.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0) {
        const RuntimeError e = fileError(errno, real);
        ::unlink(backup.c_str());
        throw e;
    }
    if (!writeAll(fd.get(), text) || ::fsync(fd.get()) != 0) {
        const RuntimeError e = fileError(errno, real);
        const bool restored = ::ftruncate(fd.get(), 0) == 0 && ::lseek(fd.get(), 0, SEEK_SET) == 0 &&
                              writeAll(fd.get(), old) && ::fsync(fd.get()) == 0;
        if (restored) ::unlink(backup.c_str());
        throw e;
    }
    if (!fd.close()) throw fileError(errno, real);
    ::unlink(backup.c_str());
    ::unlink(temp.c_str());
}

}  // namespace

std::string followLinks(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

void replaceFile(const std::string& temp, const std::string& target) {
    const std::string real = followLinks(target);
    struct stat old {};
    if (::stat(real.c_str(), &old) != 0) {
        if (errno != ENOENT) throw fileError(errno, target);
        old.st_mode = 0;
    } else if (!S_ISREG(old.st_mode)) {
        throw fileErrorNumber(kErrPathFileAccess, target);
    }
    if (old.st_mode != 0 && (old.st_nlink > 1 || !takeOwnerAndMode(temp, old))) {
        rewriteInPlace(temp, real);
        return;
    }
    if (std::rename(temp.c_str(), real.c_str()) != 0) throw fileError(errno, target);
}

}  // namespace rw
