// The real file system on Windows, through the wide Win32 API: paths are
// UTF-8 inside Rowwright and UTF-16 at the system; files are always binary.
#include "platform/file_system.h"
#include "platform/replace_file.h"
#include "platform/runtime_error.h"
#include "platform/win_api.h"

namespace rw {

using win::Handle;

namespace {

// Enough names to pass over leftovers and planted files without looping forever.
constexpr int kTempNameTries = 1000;

class HandleSink final : public ByteSink {
public:
    HandleSink(Handle h, std::string path) : h_(std::move(h)), path_(std::move(path)) {}
    void write(std::string_view bytes) override {
        if (!h_.valid()) throw fileErrorNumber(kErrPathFileAccess, path_);
        if (!win::writeAll(h_.get(), bytes)) throw win::fileError(GetLastError(), path_);
    }
    void close() override {
        if (!h_.valid()) return;
        if (!h_.reset()) throw win::fileError(GetLastError(), path_);
    }

private:
    Handle h_;
    std::string path_;
};

DWORD attributesOf(const std::string& path) { return GetFileAttributesW(win::widen(path).c_str()); }

}  // namespace

std::unique_ptr<ByteSink> PosixFileSystem::create(const std::string& path) {
    Handle h = win::openFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    if (!h.valid()) throw win::fileError(GetLastError(), path);
    return std::make_unique<HandleSink>(std::move(h), path);
}

TempFile PosixFileSystem::createTempBeside(const std::string& target) {
    const std::string beside = followLinks(target);
    for (int n = 0; n < kTempNameTries; ++n) {
        std::string path = tempPathBeside(beside, n);
        // CREATE_NEW never opens what is already there, a link included.
        Handle h = win::openFile(path, GENERIC_WRITE, CREATE_NEW);
        if (h.valid()) return {path, std::make_unique<HandleSink>(std::move(h), path)};
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) throw win::fileError(error, path);
    }
    throw fileErrorNumber(kErrPathFileAccess, tempPathBeside(beside, 0));
}

void PosixFileSystem::replace(const std::string& temp, const std::string& target) { replaceFile(temp, target); }

bool PosixFileSystem::isWritable(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    // Opening for writing changes nothing and asks the file's access list.
    return win::openFile(path, GENERIC_WRITE, OPEN_EXISTING).valid();
}

std::string PosixFileSystem::readAll(const std::string& path) {
    Handle h = win::openFile(path, GENERIC_READ, OPEN_EXISTING);
    if (!h.valid()) {
        const DWORD error = GetLastError();
        throw error == ERROR_FILE_NOT_FOUND ? fileErrorNumber(kErrFileNotFound, path) : win::fileError(error, path);
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h.get(), buffer, sizeof buffer, &n, nullptr)) {
            const DWORD error = GetLastError();
            if (error == ERROR_BROKEN_PIPE) break;
            throw win::fileError(error, path);
        }
        if (n == 0) break;
        bytes.append(buffer, n);
    }
    return bytes;
}

bool PosixFileSystem::exists(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PosixFileSystem::isDirectory(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void PosixFileSystem::rename(const std::string& from, const std::string& to) {
    // The C runtime's rename() refuses an existing target.
    if (!MoveFileExW(win::widen(from).c_str(), win::widen(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw win::fileError(GetLastError(), to);
}

void PosixFileSystem::remove(const std::string& path) {
    if (DeleteFileW(win::widen(path).c_str())) return;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) throw win::fileError(error, path);
}

void PosixFileSystem::createDirectories(const std::string& path) {
    // "\\server\share\" and "C:\" are there or not; the folders below them
    // are made one by one.
    std::size_t pos = 0;
    if (path.size() >= 2 && isPathSeparator(path[0]) && isPathSeparator(path[1])) {
        int separators = 0;
        for (pos = 2; pos < path.size() && separators < 2; ++pos)
            if (isPathSeparator(path[pos])) ++separators;
    }
    while (pos <= path.size()) {
        std::size_t next = pos;
        while (next < path.size() && !isPathSeparator(path[next])) ++next;
        const std::string partial = path.substr(0, next);
        pos = next + 1;
        if (partial.empty() || partial.back() == ':' || isPathSeparator(partial.back()) || isDirectory(partial))
            continue;
        if (!CreateDirectoryW(win::widen(partial).c_str(), nullptr)) {
            const DWORD error = GetLastError();
            if (error != ERROR_ALREADY_EXISTS) throw win::folderError(error, partial);
        }
    }
}

// ---- replacing a file ---------------------------------------------------

std::string followLinks(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
    Handle h = win::openFile(path, 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
    if (!h.valid()) return path;
    wchar_t buffer[32768];
    const DWORD n = GetFinalPathNameByHandleW(h.get(), buffer, 32768, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= 32768) return path;
    std::wstring real(buffer, n);
    if (real.rfind(L"\\\\?\\UNC\\", 0) == 0)
        real = L"\\\\" + real.substr(8);
    else if (real.rfind(L"\\\\?\\", 0) == 0)
        real = real.substr(4);
    return win::narrow(real);
}

namespace {

// Writes the new text into the file itself, so that every hard link stays.
// The old text waits beside it until the new one is complete, and goes back
// in when the write fails.
void rewriteInPlace(const std::string& temp, const std::string& real) {
    PosixFileSystem fs;
    const std::string text = fs.readAll(temp);
    const std::string old = fs.readAll(real);
    const std::string backup = real + ".rwbak";
    {
        // Never over an earlier backup: it may hold the only old text left.
        Handle h = win::openFile(backup, GENERIC_WRITE, CREATE_NEW);
        if (!h.valid()) throw win::fileError(GetLastError(), backup);
        if (!win::writeAll(h.get(), old) || !FlushFileBuffers(h.get()) || !h.reset()) {
            const RuntimeError e = win::fileError(GetLastError(), backup);
            fs.remove(backup);
            throw e;
        }
    }
    Handle h = win::openFile(real, GENERIC_WRITE, TRUNCATE_EXISTING);
    if (!h.valid()) {
        const RuntimeError e = win::fileError(GetLastError(), real);
        fs.remove(backup);
        throw e;
    }
    if (!win::writeAll(h.get(), text) || !FlushFileBuffers(h.get())) {
        const RuntimeError e = win::fileError(GetLastError(), real);
        LARGE_INTEGER start{};
        const bool restored = SetFilePointerEx(h.get(), start, nullptr, FILE_BEGIN) && SetEndOfFile(h.get()) &&
                              win::writeAll(h.get(), old) && FlushFileBuffers(h.get());
        if (restored) fs.remove(backup);
        throw e;
    }
    if (!h.reset()) throw win::fileError(GetLastError(), real);
    fs.remove(backup);
    fs.remove(temp);
}

}  // namespace

void replaceFile(const std::string& temp, const std::string& target) {
    const std::string real = followLinks(target);
    const DWORD attributes = attributesOf(real);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw fileErrorNumber(kErrPathFileAccess, target);
        Handle h = win::openFile(real, 0, OPEN_EXISTING);
        BY_HANDLE_FILE_INFORMATION info{};
        if (h.valid() && GetFileInformationByHandle(h.get(), &info) && info.nNumberOfLinks > 1) {
            h.reset();
            rewriteInPlace(temp, real);
            return;
        }
    }
    if (!MoveFileExW(win::widen(temp).c_str(), win::widen(real).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw win::fileError(GetLastError(), target);
}

}  // namespace rw
