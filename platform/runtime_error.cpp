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

RuntimeError fileErrorNumber(long number) {
    return RuntimeError(number, kAddInSource, fileErrorDescription(number));
}

RuntimeError fileError(int errnoValue) {
    switch (errnoValue) {
        case ENOENT:
        case ENOTDIR:
        case ENAMETOOLONG: return fileErrorNumber(kErrPathNotFound);
        case ENOSPC:
        case EDQUOT:
        case EFBIG: return fileErrorNumber(kErrDiskFull);
        case EBUSY:
        case ETXTBSY: return fileErrorNumber(kErrPermissionDenied);
        case EIO: return fileErrorNumber(kErrDeviceIo);
        default: return fileErrorNumber(kErrPathFileAccess);
    }
}

}  // namespace rw
