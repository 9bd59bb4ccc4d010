#include "platform/text_files.h"

#include "platform/cp1252.h"
#include "platform/runtime_error.h"

namespace rw {
namespace {
constexpr std::size_t kBufferSize = 1 << 16;
constexpr int kMaxFileNumber = 511;
}  // namespace

TextFile::TextFile(std::unique_ptr<ByteSink> sink, std::string path)
    : sink_(std::move(sink)), path_(std::move(path)) {
    buffer_.reserve(kBufferSize + 1024);
}

TextFile::~TextFile() {
    try {
        close();
    } catch (...) {
    }
}

void TextFile::spill() {
    if (buffer_.size() >= kBufferSize) flush();
}

void TextFile::line(std::string_view text) {
    if (!sink_) throw fileErrorNumber(kErrPathFileAccess, path_);
    cp1252::appendFromUtf8(buffer_, text);
    buffer_ += "\r\n";
    spill();
}

void TextFile::emptyLines(int count) {
    for (int k = 0; k < count; ++k) line({});
}

void TextFile::text(std::string_view utf8) {
    if (!sink_) throw fileErrorNumber(kErrPathFileAccess, path_);
    cp1252::appendFromUtf8(buffer_, utf8);
    spill();
}

void TextFile::append(std::string_view utf8) {
    if (!sink_) throw fileErrorNumber(kErrPathFileAccess, path_);
    cp1252::appendFromUtf8(buffer_, utf8);
}

void TextFile::endLine() {
    if (!sink_) throw fileErrorNumber(kErrPathFileAccess, path_);
    buffer_ += "\r\n";
    spill();
}

void TextFile::flush() {
    if (!sink_ || buffer_.empty()) return;
    std::string pending;
    pending.swap(buffer_);
    buffer_.reserve(kBufferSize + 1024);
    sink_->write(pending);
}

void TextFile::close() {
    if (!sink_) return;
    auto sink = std::move(sink_);
    std::string pending;
    pending.swap(buffer_);
    if (!pending.empty()) sink->write(pending);
    sink->close();
}

int FileTable::freeFile() const {
    int number = 1;
    for (const auto& [n, file] : open_) {
        if (n != number) break;
        ++number;
    }
    if (number > kMaxFileNumber) throw RuntimeError(67, kAddInSource, "Too many files");
    return number;
}

int FileTable::openForOutput(const std::string& path) {
    const int number = freeFile();
    open_[number] = std::make_unique<TextFile>(fs_.create(path), path);
    return number;
}

int FileTable::openSink(std::unique_ptr<ByteSink> sink, const std::string& path) {
    const int number = freeFile();
    open_[number] = std::make_unique<TextFile>(std::move(sink), path);
    return number;
}

TextFile& FileTable::at(int number) {
    const auto f = open_.find(number);
    if (f == open_.end()) throw RuntimeError(52, kAddInSource, "Bad file name or number");
    return *f->second;
}

void FileTable::close(int number) {
    const auto f = open_.find(number);
    if (f == open_.end()) return;
    auto file = std::move(f->second);
    open_.erase(f);
    file->close();
}

void FileTable::closeAll() noexcept {
    while (!open_.empty()) {
        try {
            close(open_.begin()->first);
        } catch (...) {
        }
    }
}

}  // namespace rw
