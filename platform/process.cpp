#include "platform/process.h"

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

namespace rw {

bool isTerminal(StdStream stream) {
    const int fd = stream == StdStream::In ? STDIN_FILENO : stream == StdStream::Out ? STDOUT_FILENO : STDERR_FILENO;
    return ::isatty(fd) == 1;
}

std::string currentFolder() {
    std::string folder;
    if (char* text = ::getcwd(nullptr, 0)) {
        folder = text;
        std::free(text);
    }
    return folder;
}

void stopOnSignals(void (*handler)(int)) {
    // Without SA_RESTART, a question waiting for its answer returns at once.
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM}) sigaction(signal, &action, nullptr);
}

std::vector<std::string> utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }

namespace {

// A run builds tens of thousands of small strings (and an ODBC driver as
// many again for a catalogue read); touching that memory 4 KiB page by page
// costs the kernel more than the work done on it. So the heap grows in
// large steps and is never given back during the run, and the kernel is
// asked to back it with huge pages where it offers them (without them the
// advice changes nothing).
void growHeapInLargeSteps() {
    constexpr std::size_t kStep = std::size_t{64} << 20;
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    mallopt(M_TOP_PAD, static_cast<int>(kStep));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kStep));
    // Large blocks come from the heap too, rather than from mappings of
    // their own.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kStep / 2));
    // One allocation makes the heap take its first step; the whole step,
    // from the first huge-page boundary in it, gets the advice.
    void* first = std::malloc(std::size_t{1} << 20);
    if (first == nullptr) return;
    const auto from = (reinterpret_cast<std::uintptr_t>(first) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    if (end > from) ::madvise(reinterpret_cast<void*>(from), end - from, MADV_HUGEPAGE);
    std::free(first);
}

}  // namespace

void prepareProcess() {
    std::signal(SIGXFSZ, SIG_IGN);
    growHeapInLargeSteps();
}

}  // namespace rw
