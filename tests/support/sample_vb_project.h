#pragma once
// A small VB6 project on any file system, as VB6 would have saved it on
// Windows: a form with nested blocks, a standard module in a subfolder named
// with a backslash, Windows-1252 text and a section after the listing.
#include <string>

#include "platform/file_system.h"

namespace rw::test {

struct SampleProject {
    // Extra listing lines put before "Startup=" (e.g. "Class=clsOrders; clsOrders.cls").
    std::string extraListing;
    bool lfLineEnds = false;  // the .vbp saved on Linux
};

// Writes folder + "/Billing.vbp" and its component files; returns the .vbp path.
std::string writeSampleProject(FileSystem& fs, const std::string& folder, const SampleProject& options = {});
// Writes a class file named `name` with the given code lines (CR LF ends).
void writeClassFile(FileSystem& fs, const std::string& path, const std::string& name, const std::string& code);
// Writes raw bytes to a file (its folder must exist or be creatable).
void writeBytes(FileSystem& fs, const std::string& path, const std::string& bytes);
// The standard module's bytes: "Grüße" in Windows-1252.
extern const char* const kSampleModuleBytes;

}  // namespace rw::test
