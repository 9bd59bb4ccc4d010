#pragma once
// The file system as the add-in sees it. Every failure throws a RuntimeError
// with the run-time's file error number (see runtime_error.h).
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/folder_lock.h"

namespace rw {

// An open output file that takes raw bytes.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(std::string_view bytes) = 0;
    // Closes the file; a second call does nothing.
    virtual void close() = 0;
};

// A new file that is to take the place of another.
struct TempFile {
    std::string path;
    std::unique_ptr<ByteSink> sink;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Creates the file, or replaces the one of that name.
    virtual std::unique_ptr<ByteSink> create(const std::string& path) = 0;
    // Creates a new, empty file for the next text of `target`, in the folder
    // of the file `target` leads to (so it can be renamed over it), under the
    // first name no file or link has: "." + name + ".rwnew", then ".rwnew1",
    // ".rwnew2", ... It is created exclusively: a link planted at that name
    // is never followed.
    virtual TempFile createTempBeside(const std::string& target) = 0;
    // Puts the completely written file `temp` (from createTempBeside) in the
    // place of `target`. An existing target keeps its mode and, where the
    // user may set them, its owner and group; a symbolic link stays a link
    // and the file it leads to gets the new text. A file with several hard
    // links, or whose owner or group the user may not give the new file, is
    // rewritten in place, its old text kept beside it as name + ".rwbak"
    // until the write is complete. On failure the target is as it was and
    // `temp` is left for the caller to remove.
    virtual void replace(const std::string& temp, const std::string& target) = 0;
    // Whether the user may write the existing file `path`. A file without
    // any write permission bit is read-only even to the superuser.
    virtual bool isWritable(const std::string& path) = 0;
    virtual std::string readAll(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;
    virtual bool isDirectory(const std::string& path) = 0;
    // Replaces `to` with `from` in one step.
    virtual void rename(const std::string& from, const std::string& to) = 0;
    // Removes a file; a missing file is not an error.
    virtual void remove(const std::string& path) = 0;
    // Creates a folder and any missing parents.
    virtual void createDirectories(const std::string& path) = 0;
    // Locks the folders against every other lock on them until the result is
    // destroyed, each folder once however often (and however spelled) it is
    // named. Throws folderInUse (folder_lock.h) for the first folder held
    // elsewhere, keeping none. A folder that cannot be opened, or whose file
    // system cannot lock it, is passed over: the run then fails or succeeds by
    // its own steps.
    virtual std::unique_ptr<FolderLock> lockFolders(const std::vector<std::string>& folders) = 0;
};

// Passes every call on to another file system; a wrapper that watches or
// changes a few calls derives from it and overrides only those.
class ForwardingFileSystem : public FileSystem {
public:
    explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}
    std::unique_ptr<ByteSink> create(const std::string& path) override { return inner_.create(path); }
    TempFile createTempBeside(const std::string& target) override { return inner_.createTempBeside(target); }
    void replace(const std::string& temp, const std::string& target) override { inner_.replace(temp, target); }
    bool isWritable(const std::string& path) override { return inner_.isWritable(path); }
    std::string readAll(const std::string& path) override { return inner_.readAll(path); }
    bool exists(const std::string& path) override { return inner_.exists(path); }
    bool isDirectory(const std::string& path) override { return inner_.isDirectory(path); }
    void rename(const std::string& from, const std::string& to) override { inner_.rename(from, to); }
    void remove(const std::string& path) override { inner_.remove(path); }
    void createDirectories(const std::string& path) override { inner_.createDirectories(path); }
    std::unique_ptr<FolderLock> lockFolders(const std::vector<std::string>& folders) override {
        return inner_.lockFolders(folders);
    }

protected:
    FileSystem& inner_;
};

// The separator the platform writes between folders: "\" on Windows (so
// project files and reports read as Windows writes them), "/" elsewhere.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Whether `c` separates folders in a path the user gives: "/", and on
// Windows "\" as well.
bool isPathSeparator(char c);

// The position of the last separator in `path`, or npos.
std::size_t lastSeparator(std::string_view path);

// Whether `path` names its place without a working folder: "/..." on POSIX;
// on Windows also "\...", "\\server\..." and anything after a drive ("C:").
bool isAbsolutePath(std::string_view path);

// Whether `name` can be the name of a file in a folder: no "/" or "\", and
// on Windows none of : * ? " < > | (":" would write an alternate data
// stream) and no dot at its end (which Windows drops).
bool fitsFileName(std::string_view name);

// Joins a folder text and a file name with one separator, always inserted:
// a folder ending in a separator gives two, which the file system accepts.
std::string joinPath(std::string_view folder, std::string_view name);

// A relative path with `workingFolder` put in front of it, nothing else
// changed (no links resolved, no "." or ".." folded), so a path written into
// a project file resolves from any folder; an absolute or empty path, or an
// empty working folder, gives the path as it is.
std::string absoluteFrom(const std::string& workingFolder, const std::string& path);

// The `n`th candidate name of a temporary file beside `path`:
// "." + name + ".rwnew", then ".rwnew1", ".rwnew2", ...
std::string tempPathBeside(const std::string& path, int n);

// The real file system (on Windows through the Win32 API, win_file_system.cpp).
class PosixFileSystem final : public FileSystem {
public:
    std::unique_ptr<ByteSink> create(const std::string& path) override;
    TempFile createTempBeside(const std::string& target) override;
    void replace(const std::string& temp, const std::string& target) override;
    bool isWritable(const std::string& path) override;
    std::string readAll(const std::string& path) override;
    bool exists(const std::string& path) override;
    bool isDirectory(const std::string& path) override;
    void rename(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override;
    void createDirectories(const std::string& path) override;
    // flock(LOCK_EX | LOCK_NB) on each folder opened O_RDONLY | O_DIRECTORY (folder_lock.cpp).
    std::unique_ptr<FolderLock> lockFolders(const std::vector<std::string>& folders) override;
};

}  // namespace rw
