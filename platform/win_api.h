#pragma once
// The Win32 side of the platform layer: UTF-8 paths to the wide API and
// Win32 error codes to the run-time's file errors. Windows builds only.
#ifdef _WIN32
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/runtime_error.h"

namespace rw::win {

// UTF-8 (every string inside Rowwright) to UTF-16 and back. Bytes that are
// not UTF-8 become U+FFFD.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

// The file error for a GetLastError() value, about the file `path`.
RuntimeError fileError(DWORD error, std::string path);
RuntimeError folderError(DWORD error, std::string path);

// A handle closed on every way out.
class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : h_(other.h_) { other.h_ = INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    // Closes now; false when the close failed.
    bool reset() {
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return h == INVALID_HANDLE_VALUE || h == nullptr || CloseHandle(h) != 0;
    }

private:
    HANDLE h_;
};

// Opens `path` with CreateFileW; the handle is invalid on failure
// (GetLastError() says why).
Handle openFile(const std::string& path, DWORD access, DWORD disposition, DWORD flags = FILE_ATTRIBUTE_NORMAL);

// Writes every byte; false (GetLastError() set) on failure.
bool writeAll(HANDLE h, std::string_view bytes);

}  // namespace rw::win
#endif
