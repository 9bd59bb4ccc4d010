#include "platform/text_files.h"

#include <algorithm>
#include <cstring>

#include "platform/cp1252.h"
#include "platform/runtime_error.h"

namespace rw {
namespace {
constexpr int kMaxFileNumber = 511;
}  // namespace

TextFile::TextFile(std::unique_ptr<ByteSink> sink, std::string path, Buffer buffer)
    : sink_(std::move(sink)), path_(std::move(path)), buffer_(std::move(buffer)) {
    if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
}

TextFile::~TextFile() {
    try {
        close();
    } catch (...) {
    }
}

void TextFile::writable() const {
    if (!sink_) throw fileErrorNumber(kErrPathFileAccess, path_);
}

void TextFile::spill() {
    const std::size_t n = used_;
    used_ = 0;
    sink_->write(std::string_view(buffer_.get(), n));
}

void TextFile::text(std::string_view utf8) {
    writable();
    while (!utf8.empty()) {
        if (used_ == kBufferSize) spill();
        used_ += cp1252::encodeInto(utf8, buffer_.get() + used_, kBufferSize - used_);
    }
}

void TextFile::bytes(std::string_view windows1252) {
    writable();
    while (!windows1252.empty()) {
        if (used_ == kBufferSize) spill();
        const std::size_t n = std::min(windows1252.size(), kBufferSize - used_);
        std::memcpy(buffer_.get() + used_, windows1252.data(), n);
        used_ += n;
        windows1252.remove_prefix(n);
    }
}

char* TextFile::reserveSpilling(std::size_t n) {
    writable();
    if (n > kBufferSize) return nullptr;
    if (kBufferSize - used_ < n) spill();
    return buffer_.get() + used_;
}

void TextFile::line(std::string_view text) {
    this->text(text);
    endLine();
}

void TextFile::emptyLines(int count) {
    for (int k = 0; k < count; ++k) endLine();
}

void TextFile::flush() {
    if (sink_ && used_ > 0) spill();
}

void TextFile::close() {
    if (!sink_) return;
    auto sink = std::move(sink_);
    const std::size_t n = used_;
    used_ = 0;
    if (n > 0) sink->write(std::string_view(buffer_.get(), n));
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

int FileTable::put(std::unique_ptr<ByteSink> sink, const std::string& path) {
    const int number = freeFile();
    TextFile::Buffer buffer;
    if (!spare_.empty()) {
        buffer = std::move(spare_.back());
        spare_.pop_back();
    }
    open_[number] = std::make_unique<TextFile>(std::move(sink), path, std::move(buffer));
    return number;
}

int FileTable::openForOutput(const std::string& path) {
    freeFile();  // "Too many files" before a file is made
    return put(fs_.create(path), path);
}

int FileTable::openSink(std::unique_ptr<ByteSink> sink, const std::string& path) {
    return put(std::move(sink), path);
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
    spare_.push_back(file->takeBuffer());
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
