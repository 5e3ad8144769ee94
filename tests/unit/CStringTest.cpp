#include <gtest/gtest.h>

#include "afx/CString.h"

namespace {

const CodePage kWestern(CodePage::kWestern);
const CodePage kUtf8(CodePage::kUtf8);
const CodePage kShiftJis(CodePage::kShiftJis);

TEST(CStringTest, FormatsWithAPattern) {
    CString text;
    text.Format("%d|%s|%u", -7, "x", 4294967295u);
    EXPECT_EQ(text, "-7|x|4294967295");
    // A long result is not cut to any fixed buffer.
    const std::string big(5000, 'a');
    text.Format("<%s>", big.c_str());
    EXPECT_EQ(text.GetLength(), 5002);
}

TEST(CStringTest, FindGivesTheByteIndexOfTheFirstOccurrence) {
    struct Case {
        const char* text;
        const char* pattern;
        int expected;
    };
    const Case cases[] = {
        {"PCI\\VEN_1D9A&DEV_0001", "DEV_0001", 13},
        {"ABAB", "AB", 0},
        {"ABC", "ABCD", -1},
        {"ABC", "", 0},  // an empty pattern is found at 0 of a non-empty text
        {"", "", -1},    // ... and nowhere in an empty one
        {"", "A", -1},
        {"abc", "B", -1},  // case-sensitive
    };
    for (const CodePage* cp : {&kWestern, &kUtf8, &kShiftJis}) {
        for (const Case& c : cases) {
            EXPECT_EQ(CString(c.text).Find(c.pattern, *cp), c.expected)
                << c.text << " / " << c.pattern << " in code page " << cp->Number();
        }
    }
}

TEST(CStringTest, FindInADoubleBytePageNeverMatchesAtATrailByte) {
    // 0x95 0x5C is one Shift_JIS character whose trail byte is a backslash.
    const CString text("\x95\x5C\\");
    EXPECT_EQ(text.Find("\\", kShiftJis), 2);
    EXPECT_EQ(text.Find("\\", kWestern), 1);
    // 0x83 0x41 is one character; 'A' (0x41) alone is not in the text.
    EXPECT_EQ(CString("\x83\x41").Find("A", kShiftJis), -1);
    EXPECT_EQ(CString("\x83\x41" "A").Find("A", kShiftJis), 2);
}

TEST(CStringTest, LeftAndRightTakeBytes) {
    const CString text("ABCDE");
    EXPECT_EQ(text.Left(2), "AB");
    EXPECT_EQ(text.Right(2), "DE");
    EXPECT_EQ(text.Left(9), "ABCDE");
    EXPECT_EQ(text.Right(9), "ABCDE");
    EXPECT_EQ(text.Left(-1), "");
    EXPECT_EQ(text.Right(0), "");
}

TEST(CStringTest, MakeUpperFollowsTheCodePage) {
    struct Case {
        const CodePage* cp;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {&kWestern, "pci\\ven_1d9a&dev_ab", "PCI\\VEN_1D9A&DEV_AB"},
        // 1252: accented letters, s caron, oe, z caron and y diaeresis have
        // upper cases; the division sign and sharp s do not.
        {&kWestern, "\xE9\xFF\x9A\x9C\x9E\xF7\xDF", "\xC9\x9F\x8A\x8C\x8E\xF7\xDF"},
        // UTF-8: ASCII only, sequences kept whole ("é" stays).
        {&kUtf8, "caf\xC3\xA9", "CAF\xC3\xA9"},
        // 932: a trail byte that looks like 'a' (0x61) is not upper-cased;
        // half-width katakana (single bytes >= 0xA1) stay.
        {&kShiftJis, "a\x82\x61" "b\xB1", "A\x82\x61" "B\xB1"},
        // A lead byte at the very end is a byte of its own.
        {&kShiftJis, "x\x82", "X\x82"},
    };
    for (const Case& c : cases) {
        CString text(c.text);
        text.MakeUpper(*c.cp);
        EXPECT_EQ(text, c.expected) << "code page " << c.cp->Number();
    }
}

TEST(CStringTest, ConcatenatesAndComparesExactly) {
    const CString a("C:");
    const CString b = a + "\\Kit\\" + CString("Models.ini");
    EXPECT_EQ(b, "C:\\Kit\\Models.ini");
    EXPECT_NE(CString("ERROR"), "error");
    EXPECT_NE(CString("ERROR "), "ERROR");
    CString c("x");
    c += "y";
    EXPECT_EQ(c, "xy");
    EXPECT_EQ(CString("a\0b", 3).GetLength(), 3);
}

TEST(CodePageTest, LocaleCodesetsMapToTheirPages) {
    EXPECT_EQ(CodePage::FromCodeset("UTF-8").Number(), CodePage::kUtf8);
    EXPECT_EQ(CodePage::FromCodeset("ANSI_X3.4-1968").Number(), CodePage::kUtf8);
    EXPECT_EQ(CodePage::FromCodeset("ISO-8859-1").Number(), CodePage::kWestern);
    EXPECT_EQ(CodePage::FromCodeset("SHIFT_JIS").Number(), CodePage::kShiftJis);
    EXPECT_EQ(CodePage::FromCodeset("GBK").Number(), CodePage::kGbk);
    EXPECT_EQ(CodePage::FromCodeset("EUC-KR").Number(), CodePage::kKorean);
    EXPECT_EQ(CodePage::FromCodeset("BIG5").Number(), CodePage::kBig5);
    EXPECT_EQ(CodePage::FromCodeset("KOI8-R").Number(), CodePage::kUtf8);
    EXPECT_EQ(CodePage::FromCodeset(nullptr).Number(), CodePage::kUtf8);
    EXPECT_TRUE(CodePage(CodePage::kGbk).IsLeadByte(0x81));
    EXPECT_FALSE(CodePage(CodePage::kShiftJis).IsLeadByte(0xA1));
    EXPECT_TRUE(CodePage(CodePage::kShiftJis).IsLeadByte(0xE0));
    EXPECT_FALSE(CodePage(CodePage::kUtf8).IsLeadByte(0xC3));
}

}  // namespace
