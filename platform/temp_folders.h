#pragma once
// Private folders under the system's temporary folder. A run stages its
// code-only files in a folder of its own, which no other user can enter and
// whose name nobody can predict, and removes it when it ends.
#include <string>
#include <vector>

namespace rw {

class MemoryFileSystem;

class TempFolders {
public:
    virtual ~TempFolders() = default;
    // Makes a new, empty folder that only this user can use (mode 0700) and
    // returns its path, without a trailing separator. Throws RuntimeError.
    virtual std::string makePrivateFolder() = 0;
    // Removes a folder made by makePrivateFolder once it is empty; a folder
    // that still holds something stays. Never throws.
    virtual void removeFolder(const std::string& path) noexcept = 0;
};

// The system's temporary folder: $TMPDIR when it is set and names a folder,
// otherwise "/tmp".
std::string systemTempFolder();

// mkdtemp under the system's temporary folder, rmdir to remove.
class SystemTempFolders final : public TempFolders {
public:
    SystemTempFolders() = default;
    // Makes the folders under `parent` instead (tests).
    explicit SystemTempFolders(std::string parent) : parent_(std::move(parent)) {}
    std::string makePrivateFolder() override;
    void removeFolder(const std::string& path) noexcept override;

private:
    std::string parent_;
};

// Folders in a MemoryFileSystem, named parent + "/rowwright-" + a counter;
// remembers what it made and removed, and can be told to fail.
class MemoryTempFolders final : public TempFolders {
public:
    explicit MemoryTempFolders(MemoryFileSystem& fs, std::string parent = "/tmp");
    std::string makePrivateFolder() override;
    void removeFolder(const std::string& path) noexcept override;

    // The next makePrivateFolder fails with this run-time error number (0: no fault).
    long failWith = 0;
    std::vector<std::string> made;
    std::vector<std::string> removed;

private:
    MemoryFileSystem& fs_;
    std::string parent_;
};

}  // namespace rw
