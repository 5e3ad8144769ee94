// GetPrivateProfileStringA on Linux: the file is read whole, then looked up
// by the Windows rules (ProfileReader). Opening follows Wine's reader, the
// reference where Windows' is not known:
//   - no file (its directory there): the default, last error 2;
//   - a directory on the way missing or not a directory: the default as
//     given (quotes kept), last error 3 (ERROR_PATH_NOT_FOUND);
//   - a directory by that name, or a file we may not read: the default as
//     given, last error 5 (ERROR_ACCESS_DENIED) -- measured for the
//     directory; Wine maps a refused open to the same code and path;
//   - otherwise last error 0.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "ProfileReader.h"
#include "linux/LinuxPlatform.h"

namespace {

// No profile is this big; a device file or a pipe that never ends is read
// up to here and the rest ignored, instead of filling memory.
constexpr std::size_t kMaxProfileBytes = 16u << 20;

enum class OpenResult { kRead, kNoFile, kNoPath, kDenied };

bool ParentIsDirectory(const std::string& path) {
    std::size_t slash = path.rfind('/');
    std::string parent = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    struct stat st;
    return ::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

OpenResult ReadWholeFile(const std::string& path, std::string& text) {
    // Non-blocking, so that a FIFO without a writer does not hang the
    // program: it reads as empty.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
            case ENOENT:
                return ParentIsDirectory(path) ? OpenResult::kNoFile : OpenResult::kNoPath;
            case ENOTDIR:
            case ENAMETOOLONG:
            case ELOOP:
                return OpenResult::kNoPath;
            default:
                return OpenResult::kDenied;
        }
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return OpenResult::kDenied;
    }
    if (S_ISREG(st.st_mode) && st.st_size > 0) {
        std::size_t expected = static_cast<std::size_t>(st.st_size);
        text.reserve(expected < kMaxProfileBytes ? expected : kMaxProfileBytes);
    }
    char chunk[65536];
    while (text.size() < kMaxProfileBytes) {
        std::size_t want = kMaxProfileBytes - text.size();
        if (want > sizeof chunk) want = sizeof chunk;
        ssize_t n = ::read(fd, chunk, want);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // the end, or no more to be had without waiting
        text.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return OpenResult::kRead;
}

}  // namespace

DWORD LinuxPlatform::GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                              LPSTR lpReturnedString, DWORD nSize,
                                              LPCSTR lpFileName) {
    // As Windows: no buffer, no work, the last error left as it was.
    if (lpReturnedString == nullptr || nSize == 0) return 0;

    std::string text;
    switch (ReadWholeFile(NativePath(lpFileName), text)) {
        case OpenResult::kRead: {
            DWORD n =
                ReadProfileString(text, lpAppName, lpKeyName, lpDefault, lpReturnedString, nSize);
            SetLastError(ERROR_SUCCESS);
            return n;
        }
        case OpenResult::kNoFile: {
            // A missing file reads as an empty one.
            DWORD n =
                ReadProfileString("", lpAppName, lpKeyName, lpDefault, lpReturnedString, nSize);
            SetLastError(ERROR_FILE_NOT_FOUND);
            return n;
        }
        case OpenResult::kNoPath: {
            DWORD n = ProfileOpenFailed(lpAppName, lpDefault, lpReturnedString, nSize);
            SetLastError(ERROR_PATH_NOT_FOUND);
            return n;
        }
        case OpenResult::kDenied:
            break;
    }
    DWORD n = ProfileOpenFailed(lpAppName, lpDefault, lpReturnedString, nSize);
    SetLastError(ERROR_ACCESS_DENIED);
    return n;
}
