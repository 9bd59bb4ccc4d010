#pragma once
// An output file that one support-file operation opens for itself and
// closes on every way out, so the lines written before an error stay in it.
#include <string>

#include "platform/text_files.h"

namespace rw {

class OwnedOutputFile {
public:
    // Opens `path` for output on the lowest free file number (replacing any
    // file of that name); throws the file system's RuntimeError.
    OwnedOutputFile(FileTable& files, const std::string& path) : files_(files), number_(files.openForOutput(path)) {}

    // Leaving by an error: close quietly, the error being shown already
    // belongs to the write that failed.
    ~OwnedOutputFile() {
        if (number_ == 0) return;
        try {
            files_.close(number_);
        } catch (...) {
        }
    }

    OwnedOutputFile(const OwnedOutputFile&) = delete;
    OwnedOutputFile& operator=(const OwnedOutputFile&) = delete;

    TextFile& file() { return files_.at(number_); }

    // The normal end: a failure to write the last buffered lines is thrown.
    void close() {
        const int number = number_;
        number_ = 0;
        files_.close(number);
    }

private:
    FileTable& files_;
    int number_;
};

}  // namespace rw
