// The system's ANSI code page, as far as the program cares: which bytes lead a
// double-byte character, and how text is upper-cased in place.
#pragma once

#include <cstddef>

class CodePage {
public:
    // Code pages with tables of their own; any other number behaves as an
    // ASCII-only single-byte page.
    static constexpr unsigned kWestern = 1252;
    static constexpr unsigned kShiftJis = 932;
    static constexpr unsigned kGbk = 936;
    static constexpr unsigned kKorean = 949;
    static constexpr unsigned kBig5 = 950;
    static constexpr unsigned kUtf8 = 65001;

    explicit CodePage(unsigned number = kWestern);

    unsigned Number() const { return m_number; }
    bool IsDoubleByte() const { return m_leadLow != 0; }

    // True when `byte` starts a two-byte character. Never true in a
    // single-byte page or in UTF-8, whose sequences need no such care: a
    // valid pattern cannot match in the middle of a sequence.
    bool IsLeadByte(unsigned char byte) const {
        return (byte >= m_leadLow && byte <= m_leadHigh) ||
               (byte >= m_leadLow2 && byte <= m_leadHigh2);
    }

    // Upper-cases `n` bytes at `text` in place. Double-byte characters are
    // kept whole; UTF-8 sequences are left as they are (ASCII only).
    void MakeUpper(char* text, std::size_t n) const;

    // Length of the character that starts at `text[0]`, given `n` bytes are
    // left: 2 for a lead byte followed by a trail byte, 1 otherwise.
    std::size_t CharLength(const char* text, std::size_t n) const {
        return (n >= 2 && IsLeadByte(static_cast<unsigned char>(text[0]))) ? 2 : 1;
    }

    // Code page of a locale's codeset name ("UTF-8", "SJIS", "CP1252", ...);
    // UTF-8 for names it does not know, the C locale's included.
    static CodePage FromCodeset(const char* codeset);

private:
    unsigned m_number;
    unsigned char m_leadLow = 0, m_leadHigh = 0;    // first lead-byte range; 0 = none
    unsigned char m_leadLow2 = 0, m_leadHigh2 = 0;  // second range (Shift_JIS)
};
