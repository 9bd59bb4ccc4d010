#include <csignal>
#include <cstdio>
#include <io.h>
#include <iostream>
#include <streambuf>

#include "platform/process.h"
#include "platform/win_api.h"

// The C runtime's wide arguments (msvcrt), without pulling in shell32.
extern "C" int __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** env, int expandWildcards, int* startInfo);

namespace rw {

namespace {

HANDLE handleOf(StdStream stream) {
    return GetStdHandle(stream == StdStream::In    ? STD_INPUT_HANDLE
                        : stream == StdStream::Out ? STD_OUTPUT_HANDLE
                                                   : STD_ERROR_HANDLE);
}

// Writes UTF-8 text to a console as wide characters, which the console
// shows whatever its code page. A character split across two writes waits
// for its other bytes.
class ConsoleBuf final : public std::streambuf {
public:
    explicit ConsoleBuf(HANDLE console) : console_(console) {}

protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) pending_ += static_cast<char>(c);
        if (c == '\n' || pending_.size() >= 4096) flushComplete();
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        pending_.append(s, static_cast<std::size_t>(n));
        if (pending_.find('\n') != std::string::npos || pending_.size() >= 4096) flushComplete();
        return n;
    }
    int sync() override {
        flushComplete();
        return 0;
    }

private:
    void flushComplete() {
        // The bytes of a last, incomplete UTF-8 sequence stay for the next write.
        std::size_t end = pending_.size();
        std::size_t lead = end;
        while (lead > 0 && end - lead < 4 && (static_cast<unsigned char>(pending_[lead - 1]) & 0xC0) == 0x80) --lead;
        if (lead > 0) {
            const auto b = static_cast<unsigned char>(pending_[lead - 1]);
            const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
            if (end - (lead - 1) < length) end = lead - 1;
        }
        const std::wstring wide = win::widen(std::string_view(pending_).substr(0, end));
        DWORD written = 0;
        if (!wide.empty()) WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        pending_.erase(0, end);
    }

    HANDLE console_;
    std::string pending_;
};

void (*stopHandler)(int) = nullptr;

BOOL WINAPI onConsoleEvent(DWORD event) {
    if (stopHandler == nullptr || (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)) return FALSE;
    stopHandler(event == CTRL_C_EVENT ? SIGINT : SIGTERM);
    return TRUE;
}

}  // namespace

bool isTerminal(StdStream stream) {
    DWORD mode = 0;
    return GetConsoleMode(handleOf(stream), &mode) != 0;
}

std::string currentFolder() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return {};
    std::wstring folder(n, L'\0');
    const DWORD written = GetCurrentDirectoryW(n, folder.data());
    folder.resize(written);
    return win::narrow(folder);
}

void stopOnSignals(void (*handler)(int)) {
    stopHandler = handler;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    int count = 0, startInfo = 0;
    wchar_t** wide = nullptr;
    wchar_t** environment = nullptr;
    if (__wgetmainargs(&count, &wide, &environment, 0, &startInfo) != 0 || count != argc) return {argv, argv + argc};
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(win::narrow(wide[i]));
    return arguments;
}

void prepareProcess() {
    // Kept to the end of the process: the streams write through them until then.
    static ConsoleBuf out(handleOf(StdStream::Out));
    static ConsoleBuf err(handleOf(StdStream::Err));
    if (isTerminal(StdStream::Out)) {
        std::cout.flush();
        std::cout.rdbuf(&out);
    }
    if (isTerminal(StdStream::Err)) std::cerr.rdbuf(&err);
}

}  // namespace rw
