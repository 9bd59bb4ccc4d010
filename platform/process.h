#pragma once
// What the command-line tool asks of its own process: whether a standard
// stream is a terminal, the working folder, stop requests, its arguments
// and the console's text.
#include <string>
#include <vector>

namespace rw {

enum class StdStream { In, Out, Err };

bool isTerminal(StdStream stream);

// The working folder; empty when it cannot be read.
std::string currentFolder();

// Calls `handler` with the signal's number when the user asks the process to
// stop (SIGINT, SIGTERM; on Windows Ctrl+C and Ctrl+Break). On POSIX a
// waiting read then returns at once.
void stopOnSignals(void (*handler)(int));

// The program's arguments as UTF-8 (on Windows from the wide command line,
// since argv is in the ANSI code page).
std::vector<std::string> utf8Arguments(int argc, char** argv);

// Readies the process for the tool, before anything else: on POSIX a
// file-size limit then fails the write (a run-time error) instead of ending
// the process; on Windows std::cout and std::cerr, when they are a console,
// show their UTF-8 text in the console's own characters (redirected output
// stays UTF-8 bytes).
void prepareProcess();

}  // namespace rw
