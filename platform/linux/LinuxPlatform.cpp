#include "linux/LinuxPlatform.h"

#include <errno.h>
#include <langinfo.h>
#include <locale.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

CodePage LocaleCodePage() {
    // The codeset of the user's locale, read without changing the process's.
    locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) return CodePage(CodePage::kUtf8);
    CodePage cp = CodePage::FromCodeset(nl_langinfo_l(CODESET, loc));
    freelocale(loc);
    return cp;
}

// Writes all of `text` to standard error in one call where it can, so that
// records of concurrent writers do not interleave.
void WriteStderr(const std::string& text) {
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(STDERR_FILENO, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

}  // namespace

LinuxPlatform::LinuxPlatform() : m_codePage(LocaleCodePage()) {}

Platform& HostPlatform() {
    static LinuxPlatform platform;
    return platform;
}

std::string NativePath(const char* path) {
    std::string native(path != nullptr ? path : "");
    for (char& c : native) {
        if (c == '\\') c = '/';
    }
    return native;
}

DWORD LinuxPlatform::GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    if (hModule != nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    std::string path(256, '\0');
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return 0;
        }
        if (static_cast<std::size_t>(n) < path.size()) {
            path.resize(static_cast<std::size_t>(n));
            break;
        }
        path.resize(path.size() * 2);
    }
    if (nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() < nSize) {
        std::memcpy(lpFilename, path.c_str(), path.size() + 1);
        return static_cast<DWORD>(path.size());
    }
    // As Windows: cut to the buffer, terminated, the full size returned.
    std::memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}

void LinuxPlatform::OutputDebugStringA(LPCSTR lpOutputString) {
    std::string record(lpOutputString != nullptr ? lpOutputString : "");
    record += '\n';
    WriteStderr(record);
}

DWORD LinuxPlatform::GetLastError() { return t_lastError; }

void LinuxPlatform::SetLastError(DWORD dwErrCode) { t_lastError = dwErrCode; }

void LinuxPlatform::Sleep(DWORD dwMilliseconds) {
    timespec left{static_cast<time_t>(dwMilliseconds / 1000),
                  static_cast<long>(dwMilliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

int LinuxPlatform::MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT) {
    std::string box("[");
    box += lpCaption != nullptr ? lpCaption : "Error";
    box += "] ";
    box += lpText != nullptr ? lpText : "";
    box += '\n';
    WriteStderr(box);
    return IDOK;
}
