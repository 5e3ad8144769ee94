#include "afx/CString.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

void CString::Format(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    va_list again;
    va_copy(again, args);
    int needed = std::vsnprintf(nullptr, 0, pattern, args);
    va_end(args);
    if (needed < 0) {
        m_text.clear();
    } else {
        m_text.assign(static_cast<std::size_t>(needed) + 1, '\0');
        std::vsnprintf(m_text.data(), m_text.size(), pattern, again);
        m_text.pop_back();
    }
    va_end(again);
}

int CString::Find(const char* pattern, const CodePage& cp) const {
    const std::size_t n = m_text.size();
    const std::size_t m = std::char_traits<char>::length(pattern);
    if (n == 0) return -1;
    if (!cp.IsDoubleByte()) {
        std::size_t at = m_text.find(pattern, 0, m);
        return at == std::string::npos ? -1 : static_cast<int>(at);
    }
    for (std::size_t i = 0; i + m <= n; i += cp.CharLength(m_text.data() + i, n - i)) {
        if (m_text.compare(i, m, pattern, m) == 0) return static_cast<int>(i);
    }
    return -1;
}

CString CString::Left(int count) const {
    if (count <= 0) return CString();
    return CString(m_text.substr(0, static_cast<std::size_t>(count)));
}

CString CString::Right(int count) const {
    if (count <= 0) return CString();
    std::size_t keep = std::min(static_cast<std::size_t>(count), m_text.size());
    return CString(m_text.substr(m_text.size() - keep));
}
