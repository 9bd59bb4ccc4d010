#pragma once
// Numbered sequential text output files, as the run-time keeps them: the
// lowest free number is handed out first; each line is written in
// Windows-1252 and ends with CR LF.
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace rw {

// One open output file. Lines go through a buffer that is handed to the
// file system when it fills up, on flush and on close, so memory stays flat
// however large the file grows. A write failure throws a RuntimeError.
class TextFile {
public:
    TextFile(std::unique_ptr<ByteSink> sink, std::string path);
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Writes one line (UTF-8) and its CR LF.
    void line(std::string_view text);
    // Writes `count` empty lines.
    void emptyLines(int count);
    // Writes raw text without a line end (converted like a line).
    void text(std::string_view utf8);
    // Adds one piece (UTF-8) to the line being written, without a line end;
    // `endLine` ends it. A line is built from pieces without a copy of it.
    void append(std::string_view utf8);
    // Ends the line being written with CR LF.
    void endLine();
    void flush();
    void close();
    const std::string& path() const { return path_; }

private:
    void spill();

    std::unique_ptr<ByteSink> sink_;
    std::string path_;
    std::string buffer_;
};

class FileTable {
public:
    explicit FileTable(FileSystem& fs) : fs_(fs) {}

    // The number the next open will use.
    int freeFile() const;
    // Opens `path` for output (replacing any file of that name) on the
    // lowest free number and returns the number.
    int openForOutput(const std::string& path);
    // Puts an output file the file system has opened already on the lowest
    // free number and returns the number.
    int openSink(std::unique_ptr<ByteSink> sink, const std::string& path);
    TextFile& at(int number);
    // Closes one file; an unknown number does nothing.
    void close(int number);
    // Closes every open file, ignoring failures.
    void closeAll() noexcept;
    bool isOpen(int number) const { return open_.count(number) != 0; }
    FileSystem& fileSystem() { return fs_; }

private:
    FileSystem& fs_;
    std::map<int, std::unique_ptr<TextFile>> open_;
};

}  // namespace rw
