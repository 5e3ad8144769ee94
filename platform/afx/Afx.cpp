#include "afx/Afx.h"

#include <vector>

#include "PathSplit.h"

namespace {
constexpr UINT kIconMask = 0xF0;
constexpr UINT kButtonMask = 0x0F;
// The first buffer offered for the module path, and a size beyond any path
// the system can give (32,767 characters on Windows).
constexpr DWORD kInitialPathBuffer = 512;
constexpr DWORD kMaxPathBuffer = 65536;
}  // namespace

std::string AfxModulePath(Platform& platform, DWORD* length) {
    std::vector<char> buffer(kInitialPathBuffer, '\0');
    for (;;) {
        const auto size = static_cast<DWORD>(buffer.size());
        *length = platform.GetModuleFileNameA(nullptr, buffer.data(), size);
        // An answer equal to the size means the path was cut to fit.
        if (*length < size || size >= kMaxPathBuffer) break;
        buffer.assign(static_cast<std::size_t>(size) * 2, '\0');
    }
    buffer.back() = '\0';
    return std::string(buffer.data());
}

CString AfxAppName(Platform& platform) {
    DWORD length = 0;
    const std::string path = AfxModulePath(platform, &length);
    return CString(SplitPath(path, platform.AnsiCodePage()).fileName);
}

int AfxMessageBox(Platform& platform, LPCSTR text, UINT type, UINT /*helpContext*/) {
    if ((type & kIconMask) == 0 && (type & kButtonMask) == MB_OK) type |= MB_ICONEXCLAMATION;
    const CString caption = AfxAppName(platform);
    return platform.MessageBoxA(nullptr, text, caption, type);
}
