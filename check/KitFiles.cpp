#include "KitFiles.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>

#include <climits>
#include <cstdlib>

#include "linux/LinuxPlatform.h"
#endif

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    text.clear();
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

#ifdef _WIN32

const char* ProgramFileName() { return "Tavrel.exe"; }

bool KitDirectory(const std::string& dir, std::string& absolute) {
    const DWORD attributes = ::GetFileAttributesA(dir.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return false;
    }
    char full[MAX_PATH * 4];
    const DWORD length = ::GetFullPathNameA(dir.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) return false;
    absolute.assign(full, length);
    if (absolute.back() != '\\' && absolute.back() != '/') absolute += '\\';
    return true;
}

bool InstallerExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

#else

const char* ProgramFileName() { return "tavrel"; }

bool KitDirectory(const std::string& dir, std::string& absolute) {
    char* resolved = ::realpath(dir.c_str(), nullptr);
    if (resolved == nullptr) return false;
    absolute = resolved;
    std::free(resolved);
    struct stat info {};
    if (::stat(absolute.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    if (absolute.back() != '/') absolute += '/';
    return true;
}

bool InstallerExists(const std::string& path) {
    struct stat info {};
    return ::stat(NativePath(path.c_str()).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

#endif
