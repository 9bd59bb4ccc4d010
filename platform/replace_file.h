#pragma once
// Putting a new text in the place of a file on disk so that the file stays
// what it was to its user: the same mode, owner and group, the same link,
// the same hard links. Used by PosixFileSystem.
#include <string>

namespace rw {

// The path of the file `path` leads to: a symbolic link is followed to its
// end; any other path (a missing file, a dangling link) is returned as it is.
std::string followLinks(const std::string& path);

// FileSystem::replace on disk: `temp` was made by createTempBeside(target)
// and is completely written. Throws RuntimeError.
void replaceFile(const std::string& temp, const std::string& target);

}  // namespace rw
