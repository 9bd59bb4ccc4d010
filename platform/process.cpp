#include "platform/process.h"

#include <csignal>
#include <cstdlib>
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

void prepareProcess() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace rw
