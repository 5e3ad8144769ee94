// The shell on Linux: "open" starts the file as a program, detached, with the
// parameter text split into arguments as a Windows installer's C runtime
// would split it. No shell ever sees the text.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "linux/LinuxPlatform.h"

extern char** environ;

namespace {

// Windows hands back a fake instance handle above 32 on success.
constexpr std::uintptr_t kLaunched = 42;

// What the child reports when the working directory it was given is not
// there: not an errno, so that it cannot be taken for one about the file.
constexpr int kNoDirectory = -1;

HINSTANCE Result(std::uintptr_t code) { return reinterpret_cast<HINSTANCE>(code); }

struct Failure {
    int result;
    DWORD lastError;
};

// What a failed start means in Windows' terms. A directory cannot be run
// (execve says EACCES), as a file without execute permission cannot. A file
// the kernel cannot load (ENOEXEC: no #! line, a foreign binary) is not
// handed to /bin/sh as execvp would: it is a bad program file.
Failure FailureOf(int error) {
    switch (error) {
        case kNoDirectory:
            return {SE_ERR_PNF, ERROR_PATH_NOT_FOUND};
        case ENOENT:
        case ENAMETOOLONG:
        case ELOOP:
            return {SE_ERR_FNF, ERROR_FILE_NOT_FOUND};
        case ENOTDIR:
            return {SE_ERR_FNF, ERROR_PATH_NOT_FOUND};
        case EACCES:
        case EPERM:
        case EISDIR:
            return {SE_ERR_ACCESSDENIED, ERROR_ACCESS_DENIED};
        case ENOMEM:
        case EAGAIN:
        case E2BIG:
            return {SE_ERR_OOM, ERROR_NOT_ENOUGH_MEMORY};
        case ETXTBSY:
            return {SE_ERR_SHARE, ERROR_SHARING_VIOLATION};
        default:
            return {static_cast<int>(ERROR_BAD_FORMAT), ERROR_BAD_FORMAT};
    }
}

bool DirectoryOfExists(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return true;
    struct stat st;
    return ::stat(path.substr(0, slash + 1).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Everything below runs in a child of a process that may have other threads:
// only async-signal-safe calls, no allocation.

[[noreturn]] void ReportAndExit(int fd, int error) {
    while (::write(fd, &error, sizeof error) < 0 && errno == EINTR) {
    }
    ::_exit(127);
}

void CloseFrom(int first, int keep) {
    // close_range where the kernel has it, else one by one up to the limit.
    auto closeRange = [](unsigned low, unsigned high) {
#ifdef SYS_close_range
        if (::syscall(SYS_close_range, low, high, 0u) == 0) return;
#endif
        long limit = ::sysconf(_SC_OPEN_MAX);
        if (limit < 0 || limit > 65536) limit = 65536;
        for (unsigned fd = low; fd <= high && fd < static_cast<unsigned>(limit); ++fd) {
            ::close(static_cast<int>(fd));
        }
    };
    if (keep > first) closeRange(static_cast<unsigned>(first), static_cast<unsigned>(keep - 1));
    closeRange(static_cast<unsigned>(keep + 1), ~0u);
}

// The installer: its own session, stdio on /dev/null, no descriptor of ours,
// default signal handling, then the program itself. Any failure goes back
// through `report`, which closes by itself when the exec succeeds.
[[noreturn]] void RunInstaller(int report, const char* path, char* const* argv,
                               const char* directory) {
    int fd = ::fcntl(report, F_DUPFD_CLOEXEC, 3);
    if (fd < 0) ReportAndExit(report, errno);
    report = fd;

    // Not close-on-exec: when it lands on 0, 1 or 2 itself it must stay open.
    int null = ::open("/dev/null", O_RDWR);
    if (null < 0) ReportAndExit(report, errno);
    for (int target = 0; target < 3; ++target) {
        if (::dup2(null, target) < 0) ReportAndExit(report, errno);
    }
    CloseFrom(3, report);

    struct sigaction dflt = {};
    dflt.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig) ::sigaction(sig, &dflt, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);

    if (directory != nullptr && ::chdir(directory) != 0) ReportAndExit(report, kNoDirectory);
    ::execve(path, argv, environ);
    ReportAndExit(report, errno);
}

}  // namespace

HINSTANCE LinuxPlatform::ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                                       LPCSTR lpDirectory, INT) {
    // No verb, or an empty one, is the default verb: for a program, "open".
    if (lpOperation != nullptr && *lpOperation != '\0' && ::strcasecmp(lpOperation, "open") != 0) {
        SetLastError(ERROR_NO_ASSOCIATION);
        return Result(SE_ERR_NOASSOC);
    }
    // Windows documents nothing for an empty name; Wine answers 11 with the
    // last error ERROR_INVALID_PARAMETER, and so do we, so that both builds
    // agree.
    if (lpFile == nullptr || *lpFile == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return Result(ERROR_BAD_FORMAT);
    }

    // Everything the child needs is made here: after fork it may not allocate.
    const std::string path = NativePath(lpFile);
    const std::string directory = NativePath(lpDirectory);
    std::vector<std::string> arguments =
        SplitCommandLine(lpParameters != nullptr ? lpParameters : "");
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(path.c_str()));
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        Failure failure = FailureOf(errno == EMFILE || errno == ENFILE ? ENOMEM : errno);
        SetLastError(failure.lastError);
        return Result(static_cast<std::uintptr_t>(failure.result));
    }

    // No handler of ours may run in a child before it has reset them.
    sigset_t all;
    sigset_t previous;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);

    // Two forks: the middle process ends at once and is reaped here, so the
    // installer is never our child, never waited for and never our zombie,
    // and the caller's SIGCHLD handling is left alone.
    pid_t middle = ::fork();
    if (middle == 0) {
        ::close(pipeFds[0]);
        if (::setsid() < 0) ReportAndExit(pipeFds[1], errno);
        pid_t installer = ::fork();
        if (installer < 0) ReportAndExit(pipeFds[1], errno);
        if (installer == 0) {
            RunInstaller(pipeFds[1], path.c_str(), argv.data(),
                         directory.empty() ? nullptr : directory.c_str());
        }
        ::_exit(0);
    }
    int forkError = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    ::close(pipeFds[1]);

    int error = 0;
    if (middle < 0) {
        error = forkError;
    } else {
        while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
        }
        // End of file: the installer's exec closed the last writer.
        int reported = 0;
        ssize_t n;
        while ((n = ::read(pipeFds[0], &reported, sizeof reported)) < 0 && errno == EINTR) {
        }
        if (n == static_cast<ssize_t>(sizeof reported)) error = reported;
    }
    ::close(pipeFds[0]);

    if (error != 0) {
        Failure failure = FailureOf(error);
        // As Windows: a missing file is SE_ERR_FNF either way, and the last
        // error tells whether its directory is missing too.
        if (error == ENOENT && !DirectoryOfExists(path)) failure.lastError = ERROR_PATH_NOT_FOUND;
        SetLastError(failure.lastError);
        return Result(static_cast<std::uintptr_t>(failure.result));
    }
    return Result(kLaunched);
}
