// A stand-in installer for tests: appends one record of how it was started to
// "<its own program path>.log" (format in Recording.h) and ends.
//
// Environment, for tests of a slow installer:
//   TAVREL_RECORDER_SLEEP_MS=N      wait N milliseconds before recording
//   TAVREL_RECORDER_WAIT_FOR=PATH   wait until PATH exists (at most 60 s)
//                                   before recording
// Waiting comes first, so a missing record means the run is still going.
#include <cstdlib>
#include <string>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#else
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#endif

namespace {

void Entry(std::string& record, char tag, const std::string& value) {
    record += tag;
    record += std::to_string(value.size());
    record += ':';
    record += value;
    record += '\n';
}

#ifdef _WIN32

void SleepMs(unsigned long ms) { ::Sleep(ms); }
bool Exists(const char* path) { return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

std::string OwnPath() {
    std::string path(32768, '\0');
    DWORD n = ::GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
    path.resize(n);
    return path;
}

std::string CurrentDirectory() {
    std::string dir(32768, '\0');
    DWORD n = ::GetCurrentDirectoryA(static_cast<DWORD>(dir.size()), &dir[0]);
    dir.resize(n < dir.size() ? n : 0);
    return dir;
}

void AddPlatformEntries(std::string& record) {
    Entry(record, 'C', ::GetCommandLineA());
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 0; wide != nullptr && i < count; ++i) {
        int size = ::WideCharToMultiByte(CP_ACP, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string narrow(size > 0 ? static_cast<std::size_t>(size) : 1, '\0');
        ::WideCharToMultiByte(CP_ACP, 0, wide[i], -1, &narrow[0], size, nullptr, nullptr);
        narrow.resize(narrow.size() - 1);
        Entry(record, 'W', narrow);
    }
    if (wide != nullptr) ::LocalFree(wide);
    Entry(record, 'P', std::to_string(::GetCurrentProcessId()));
}

bool Append(const std::string& path, const std::string& record) {
    HANDLE file = ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok =
        ::WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == record.size();
}

#else

void SleepMs(unsigned long ms) {
    timespec left{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}
bool Exists(const char* path) {
    struct stat st;
    return ::stat(path, &st) == 0;
}

std::string Link(const std::string& path) {
    std::string target(PATH_MAX, '\0');
    ssize_t n = ::readlink(path.c_str(), &target[0], target.size());
    if (n < 0) return "closed";
    target.resize(static_cast<std::size_t>(n));
    return target;
}

std::string OwnPath() { return Link("/proc/self/exe"); }

std::string CurrentDirectory() {
    std::string dir(PATH_MAX, '\0');
    if (::getcwd(&dir[0], dir.size()) == nullptr) return std::string();
    dir.resize(dir.find('\0'));
    return dir;
}

void AddPlatformEntries(std::string& record) {
    for (int fd = 0; fd < 3; ++fd) {
        Entry(record, static_cast<char>('0' + fd), Link("/proc/self/fd/" + std::to_string(fd)));
    }
    Entry(record, 'P', std::to_string(::getpid()));
}

// One write of the whole record: appends of concurrent runs do not mix.
bool Append(const std::string& path, const std::string& record) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    ssize_t n = ::write(fd, record.data(), record.size());
    ::close(fd);
    return n == static_cast<ssize_t>(record.size());
}

#endif

}  // namespace

int main(int argc, char** argv) {
    if (const char* ms = std::getenv("TAVREL_RECORDER_SLEEP_MS")) {
        SleepMs(std::strtoul(ms, nullptr, 10));
    }
    if (const char* path = std::getenv("TAVREL_RECORDER_WAIT_FOR")) {
        for (int i = 0; i < 6000 && !Exists(path); ++i) SleepMs(10);
    }

    std::string record = "RECORD\n";
    AddPlatformEntries(record);
    for (int i = 0; i < argc; ++i) Entry(record, 'A', argv[i]);
    Entry(record, 'D', CurrentDirectory());
    record += "END\n";
    return Append(OwnPath() + ".log", record) ? 0 : 1;
}
