#include "CodePage.h"

#include <cstring>
#include <strings.h>

CodePage::CodePage(unsigned number) : m_number(number) {
    switch (number) {
        case kShiftJis:
            m_leadLow = 0x81, m_leadHigh = 0x9F;
            m_leadLow2 = 0xE0, m_leadHigh2 = 0xFC;
            break;
        case kGbk:
        case kKorean:
        case kBig5:
            m_leadLow = 0x81, m_leadHigh = 0xFE;
            break;
        default:
            break;
    }
}

namespace {

// Upper case of one byte in code page 1252, as the system's own tables give it.
unsigned char UpperWestern(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    switch (c) {
        case 0x9A: return 0x8A;  // s caron
        case 0x9C: return 0x8C;  // oe
        case 0x9E: return 0x8E;  // z caron
        case 0xFF: return 0x9F;  // y diaeresis
        default: return c;
    }
}

}  // namespace

void CodePage::MakeUpper(char* text, std::size_t n) const {
    for (std::size_t i = 0; i < n;) {
        auto c = static_cast<unsigned char>(text[i]);
        std::size_t len = CharLength(text + i, n - i);
        if (len == 1) {
            if (m_number == kWestern) {
                text[i] = static_cast<char>(UpperWestern(c));
            } else if (c >= 'a' && c <= 'z') {
                text[i] = static_cast<char>(c - 0x20);
            }
        }
        i += len;
    }
}

CodePage CodePage::FromCodeset(const char* codeset) {
    struct Name {
        const char* name;
        unsigned number;
    };
    static const Name kNames[] = {
        {"CP1252", kWestern},  {"ISO-8859-1", kWestern}, {"ISO8859-1", kWestern},
        {"CP932", kShiftJis},  {"SHIFT_JIS", kShiftJis},
        {"SJIS", kShiftJis},   {"CP936", kGbk},          {"GBK", kGbk},
        {"GB2312", kGbk},      {"CP949", kKorean},       {"EUC-KR", kKorean},
        {"CP950", kBig5},      {"BIG5", kBig5},          {"UTF-8", kUtf8},
    };
    if (codeset != nullptr) {
        for (const Name& n : kNames) {
            if (strcasecmp(codeset, n.name) == 0) return CodePage(n.number);
        }
    }
    return CodePage(kUtf8);
}
