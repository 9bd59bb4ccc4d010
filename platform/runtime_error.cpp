#include "platform/runtime_error.h"

#include <cerrno>

namespace rw {

std::string fileErrorDescription(long number) {
    switch (number) {
        case kErrFileNotFound: return "File not found";
        case kErrDeviceIo: return "Device I/O error";
        case kErrDiskFull: return "Disk full";
        case kErrPermissionDenied: return "Permission denied";
        case kErrPathFileAccess: return "Path/File access error";
        case kErrPathNotFound: return "Path not found";
        default: return "Application-defined or object-defined error";
    }
}

RuntimeError fileErrorNumber(long number, std::string path) {
    RuntimeError e(number, kAddInSource, fileErrorDescription(number));
    e.subject.path = std::move(path);
    return e;
}

RuntimeError fileError(int errnoValue, std::string path) {
    switch (errnoValue) {
        case ENOENT:
        case ENOTDIR:
        case ENAMETOOLONG: return fileErrorNumber(kErrPathNotFound, std::move(path));
        // A file-size limit (SIGXFSZ ignored) is a full disk to the user.
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
        case EFBIG: return fileErrorNumber(kErrDiskFull, std::move(path));
        case EBUSY:
        case ETXTBSY: return fileErrorNumber(kErrPermissionDenied, std::move(path));
        case EIO: return fileErrorNumber(kErrDeviceIo, std::move(path));
        default: return fileErrorNumber(kErrPathFileAccess, std::move(path));
    }
}

RuntimeError folderError(int errnoValue, std::string path) {
    RuntimeError e = fileError(errnoValue, std::move(path));
    e.subject.folder = true;
    return e;
}

}  // namespace rw
