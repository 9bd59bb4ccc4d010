#pragma once
// Private folders under the system's temporary folder. A run stages its
// code-only files in a folder of its own, which no other user can enter and
// whose name nobody can predict, and removes it when it ends.
#include <string>
#include <vector>

namespace rw {

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

}  // namespace rw
