#pragma once
// A run-time error as the generated code's run-time reports it: a number,
// a source text and a description. Platform operations throw it; every
// generator and page operation catches it in its own handler and shows it.
#include <stdexcept>
#include <string>

namespace rw {

// The file or folder a file error is about; an empty path: none.
struct ErrorSubject {
    std::string path;
    bool folder = false;
};

struct RuntimeError : std::runtime_error {
    long number;
    std::string source;
    std::string description;
    ErrorSubject subject;

    RuntimeError(long vlNumber, std::string vsSource, std::string vsDescription)
        : std::runtime_error(vsDescription),
          number(vlNumber),
          source(std::move(vsSource)),
          description(std::move(vsDescription)) {}
};

// The source text of errors raised by the add-in's own file operations.
inline constexpr const char* kAddInSource = "RwtAddIn";

// Run-time error numbers of file operations.
enum FileErrorNumber : long {
    kErrFileNotFound = 53,
    kErrDeviceIo = 57,
    kErrDiskFull = 61,
    kErrPermissionDenied = 70,
    kErrPathFileAccess = 75,
    kErrPathNotFound = 76,
};

// The run-time's description of a file error number.
std::string fileErrorDescription(long number);

// A file error from a POSIX errno value, with the add-in's source text,
// about the file `path`.
RuntimeError fileError(int errnoValue, std::string path = {});

// A file error from a number, with the add-in's source text.
RuntimeError fileErrorNumber(long number, std::string path = {});

// A file error about the folder `path`.
RuntimeError folderError(int errnoValue, std::string path);

}  // namespace rw
