// Text of single-byte or multibyte characters in the system's ANSI code page.
// Lengths, indexes and counts are in bytes. A value type: copies are
// independent, and the text may hold any bytes (a NUL too, by length).
#pragma once

#include <string>

#include "CodePage.h"
#include "Win32Types.h"

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text != nullptr ? text : "") {}  // NOLINT: as MFC
    CString(const char* text, int length) : m_text(text, static_cast<std::size_t>(length)) {}
    explicit CString(std::string text) : m_text(std::move(text)) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const char* GetString() const { return m_text.c_str(); }
    operator const char*() const { return m_text.c_str(); }  // NOLINT: as MFC
    const std::string& Str() const { return m_text; }

    // printf-style formatting; replaces the text.
    void Format(const char* pattern, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    // Byte index of the first occurrence of `pattern` that starts on a
    // character boundary of `cp`, or -1. An empty pattern is found at 0 of a
    // non-empty text and nowhere in an empty one.
    int Find(const char* pattern, const CodePage& cp) const;
    int Find(const CString& pattern, const CodePage& cp) const { return Find(pattern.GetString(), cp); }

    // The first / last `count` bytes (all of them when count exceeds the
    // length, none when it is negative).
    CString Left(int count) const;
    CString Right(int count) const;

    // Upper-cases the text in place by the rules of `cp`.
    void MakeUpper(const CodePage& cp) { cp.MakeUpper(m_text.data(), m_text.size()); }

    CString& operator+=(const CString& other) { m_text += other.m_text; return *this; }
    CString& operator+=(const char* other) { m_text += other; return *this; }
    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(CString a, const char* b) { return a += b; }
    friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == b; }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

private:
    std::string m_text;
};
