#pragma once
// Numbered sequential text output files, as the run-time keeps them: the
// lowest free number is handed out first; each line is written in
// Windows-1252 and ends with CR LF.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace rw {

// One open output file. Text is converted straight into a buffer of fixed
// size that is handed to the file system whenever it is full, on flush and
// on close, so memory stays flat however large the file grows and a file of
// a few kilobytes takes one write. A write failure throws a RuntimeError.
class TextFile {
public:
    // Bytes collected before they go to the file system.
    static constexpr std::size_t kBufferSize = std::size_t{1} << 16;
    using Buffer = std::unique_ptr<char[]>;

    // `buffer` (kBufferSize bytes) is reused when given; otherwise the file
    // makes its own.
    TextFile(std::unique_ptr<ByteSink> sink, std::string path, Buffer buffer = nullptr);
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Writes one line (UTF-8) and its CR LF.
    void line(std::string_view text);
    // Writes `count` empty lines.
    void emptyLines(int count);
    // Writes a piece of text (UTF-8, converted like a line) without a line end.
    void text(std::string_view utf8);
    // Writes bytes that are Windows-1252 already, as they are.
    void bytes(std::string_view windows1252);
    // Ends the current line: CR LF.
    void endLine() {
        char* const at = reserve(2);
        at[0] = '\r';
        at[1] = '\n';
        used_ += 2;
    }
    // A place for up to `n` bytes (Windows-1252) in the buffer, made by
    // handing the buffer to the file system first when it has less room:
    // write there, then commit() the count written. nullptr when `n` is
    // more than the buffer holds.
    char* reserve(std::size_t n) {
        // The common case, an open file with room, inline.
        if (sink_ && n <= kBufferSize - used_) return buffer_.get() + used_;
        return reserveSpilling(n);
    }
    void commit(std::size_t n) { used_ += n; }
    void flush();
    void close();
    const std::string& path() const { return path_; }
    // The buffer, for another file, once this one is closed.
    Buffer takeBuffer() { return std::move(buffer_); }

private:
    void writable() const;
    void spill();
    char* reserveSpilling(std::size_t n);

    std::unique_ptr<ByteSink> sink_;
    std::string path_;
    Buffer buffer_;
    std::size_t used_ = 0;
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
    int put(std::unique_ptr<ByteSink> sink, const std::string& path);

    FileSystem& fs_;
    std::map<int, std::unique_ptr<TextFile>> open_;
    // Buffers of closed files, handed to the next files opened: a run opens
    // thousands of files and a fresh buffer each time costs page faults.
    std::vector<TextFile::Buffer> spare_;
};

}  // namespace rw
