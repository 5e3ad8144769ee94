// The profile reader over text in memory. The expected answers are Wine's
// (tests/fixtures/profile/golden.txt holds the full record); these cases
// keep the rules the model list depends on in view.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProfileReader.h"

namespace {

constexpr char kGuardByte = '\x7E';

struct Answer {
    DWORD count;
    std::string bytes;  // the buffer up to and including the last byte written
};

// Runs one read into a buffer with guard bytes behind it, and fails the
// test if any byte past `size` was touched.
Answer Read(const std::string& text, const char* section, const char* key, const char* def,
            DWORD size) {
    std::vector<char> buffer(size + 8, kGuardByte);
    DWORD count = ReadProfileString(text, section, key, def, buffer.data(), size);
    for (std::size_t i = size; i < buffer.size(); ++i) {
        EXPECT_EQ(buffer[i], kGuardByte) << "written past the buffer at " << i;
    }
    std::size_t written = size;
    while (written > 0 && buffer[written - 1] == kGuardByte) --written;
    return {count, std::string(buffer.data(), written)};
}

std::string Value(const std::string& text, const char* section, const char* key, DWORD size = 255) {
    Answer a = Read(text, section, key, "ERROR", size);
    EXPECT_EQ(a.bytes.size(), a.count + 1u) << "the count is the length of the text";
    return std::string(a.bytes.c_str());
}

struct Case {
    const char* what;
    std::string text;
    const char* section;
    const char* key;
    const char* expected;
};

TEST(ProfileReader, LooksUpByTheWindowsRules) {
    static const char nulText[] = "[S]\n1=before\0after\n2\0junk=two\n[T\0tail]\n3=three\n";
    const std::string nul(nulText, sizeof nulText - 1);
    const Case cases[] = {
        {"LF", "[S]\n1=one\n2=two\n", "S", "2", "two"},
        {"CR LF", "[S]\r\n1=one\r\n2=two\r\n", "S", "2", "two"},
        {"lone CR", "[S]\r1=one\r2=two\r", "S", "2", "two"},
        {"CR among LF lines ends a line", "[S]\n1=one\r2=two\n", "S", "2", "two"},
        {"no line end at the end", "[S]\n1=last", "S", "1", "last"},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF[S]\n1=one\n", "S", "1", "one"},
        {"UTF-16 byte-order mark",
         std::string("\xFF\xFE[\0S\0]\0\n\0"
                     "1\0=\0w\0",
                     16),
         "S", "1", "w"},
        {"UTF-16 without a mark is bytes",
         std::string("[\0S\0]\0\n\0"
                     "1\0=\0w\0",
                     14),
         "S", "1", "ERROR"},
        {"first of two keys", "[S]\n1=first\n1=second\n", "S", "1", "first"},
        {"a line without '=' hides a later key", "[S]\n1\n1=late\n", "S", "1", "ERROR"},
        {"first of two sections", "[S]\n1=a\n[s]\n2=b\n", "S", "2", "ERROR"},
        {"empty value", "[S]\n1=\n", "S", "1", ""},
        {"blank value", "[S]\n1=  \t \n", "S", "1", ""},
        {"'=' in a value", "[S]\n1=a=b\n", "S", "1", "a=b"},
        {"' == x'", "[S]\n1 == x\n", "S", "1", "= x"},
        {"trailing text after a header", "[S] more\n1=one\n", "S", "1", "one"},
        {"the name runs to the last ']'", "[S]]x]\n1=one\n", "S]]x", "1", "one"},
        {"blanks in a header", "[ S ]\n1=one\n", "S", "1", "one"},
        {"a header without ']' is a key line", "[S]\n[T\n1=one\n", "S", "1", "one"},
        {"before the first section", "1=top\n[S]\n1=one\n", "", "1", "top"},
        {"'[]' is not that section", "[]\n1=one\n", "", "1", "ERROR"},
        {"comment lines are found by name", "[S]\n;1=c\n1=one\n", "S", ";1", "c"},
        {"no inline comments", "[S]\n1=a ; b\n", "S", "1", "a ; b"},
        {"names fold ASCII case", "[model_LIST]\nAbC=x\n", "MODEL_list", "aBc", "x"},
        {"names fold nothing else", "[S]\n\xC9=x\n", "S", "\xE9", "ERROR"},
        {"blanks: tab, VT, FF, Ctrl-Z",
         "[S]\n\t1\x0B=\x0C"
         "v\x1A\n",
         "S", "1", "v"},
        {"NBSP is no blank", "[S]\n1=\xA0v\xA0\n", "S", "1", "\xA0v\xA0"},
        {"the section and key asked for are trimmed", "[S]\n1=one\n", " S\t", " 1 ", "one"},
        {"double quotes", "[S]\n1=\"a b\"\n", "S", "1", "a b"},
        {"single quotes", "[S]\n1='a'\n", "S", "1", "a"},
        {"unpaired quotes stay", "[S]\n1=\"a'\n", "S", "1", "\"a'"},
        {"one pair only", "[S]\n1=\"\"a\"\"\n", "S", "1", "\"a\""},
        {"blanks inside quotes stay", "[S]\n1= \" a \" \n", "S", "1", " a "},
        {"a lone quote", "[S]\n1=\"\n", "S", "1", "\""},
        {"NUL ends a value", nul, "S", "1", "before"},
        {"NUL ends a key", nul, "S", "2", "two"},
        {"NUL ends a section name", nul, "T", "3", "three"},
        {"model list key 1", "[Model_List]\n 1 =spaced\n", "Model_List", "1", "spaced"},
        {"key 01 is not 1", "[Model_List]\n01=x\n", "Model_List", "1", "ERROR"},
        {"key +1 is not 1", "[Model_List]\n+1=x\n", "Model_List", "1", "ERROR"},
        {"a value ERROR is returned as it is", "[Model_List]\n1=ERROR\n", "Model_List", "1",
         "ERROR"},
        {"bytes of 0x80 and above pass", "[S]\n1=\x80\x81\x8D\x9F\xFF\x82\xA0\x83]\n", "S", "1",
         "\x80\x81\x8D\x9F\xFF\x82\xA0\x83]"},
        {"and in names", "[Caf\xE9]\n\x83\x5D=x\n", "Caf\xE9", "\x83\x5D", "x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Value(c.text, c.section, c.key), c.expected) << c.what;
    }
}

TEST(ProfileReader, CopiesAtMostSizeMinusOneBytes) {
    const std::string text = "[S]\n1=TunerOne,PCI\\VEN_1D9A\n2=\"dq\"\n";
    struct {
        const char* key;
        DWORD size;
        DWORD count;
        std::string bytes;
    } cases[] = {
        {"1", 1, 0, std::string("\0", 1)},
        {"1", 2, 1, std::string("T\0", 2)},
        {"1", 10, 9, std::string("TunerOne,\0", 10)},
        {"9", 1, 0, std::string("\0", 1)},
        {"9", 3, 2, std::string("ER\0", 3)},
        {"9", 6, 5, std::string("ERROR\0", 6)},
        // The closing quote is taken off as the last byte copied: with a
        // buffer one short of the quoted text a byte of the value goes.
        {"2", 4, 2, std::string("dq\0", 3)},
        {"2", 3, 1, std::string("d\0", 2)},
        {"2", 2, 1, std::string("d\0", 2)},
    };
    for (const auto& c : cases) {
        Answer a = Read(text, "S", c.key, "ERROR", c.size);
        EXPECT_EQ(a.count, c.count) << c.key << " size " << c.size;
        EXPECT_EQ(a.bytes, c.bytes) << c.key << " size " << c.size;
    }
    // Size 0: nothing written, nothing counted.
    Answer none = Read(text, "S", "1", "ERROR", 0);
    EXPECT_EQ(none.count, 0u);
    EXPECT_EQ(none.bytes, "");
}

TEST(ProfileReader, TakesTheDefaultAsWindowsDoes) {
    const std::string text = "[S]\n1=one\n";
    struct {
        const char* def;
        const char* expected;
    } cases[] = {
        {nullptr, ""}, {"", ""},       {"ERROR   ", "ERROR"}, {"ERROR\t", "ERROR\t"},
        {"   ", " "},  {"  x", "  x"}, {"\"q\"", "q"},        {"'q'", "q"},
    };
    for (const auto& c : cases) {
        Answer a = Read(text, "S", "2", c.def, 255);
        EXPECT_EQ(std::string(a.bytes.c_str()), c.expected) << (c.def ? c.def : "(null)");
    }
    EXPECT_EQ(Value("", "Model_List", "1"), "ERROR") << "an empty file";
}

TEST(ProfileReader, ListsSectionsAndKeys) {
    const std::string text =
        "1=top\n[First]\na=1\nb=2\nbare\n;c=3\n[Second]\n[First]\nz=9\n[Third]\nlong=value\n";
    struct {
        const char* section;
        DWORD size;
        DWORD count;
        std::string bytes;
    } cases[] = {
        {nullptr, 255, 25, std::string("First\0Second\0First\0Third\0\0", 26)},
        {nullptr, 14, 12, std::string("First\0Second\0", 13)},
        {nullptr, 13, 11, std::string("First\0Secon\0", 12)},
        {nullptr, 3, 1, std::string("F\0", 2)},
        {nullptr, 2, 0, std::string("\0", 1)},
        {"First", 255, 4, std::string("a\0b\0\0", 5)},
        {"first", 6, 4, std::string("a\0b\0\0", 5)},
        {"First", 5, 3, std::string("a\0b\0", 4)},
        {"First", 4, 2, std::string("a\0\0", 3)},
        {"First", 3, 1, std::string("a\0", 2)},
        {"First", 2, 1, std::string("E\0", 2)},  // no room for a name: the default
        {"Third", 5, 3, std::string("lon\0", 4)},
        {"", 255, 2, std::string("1\0\0", 3)},
        {"Second", 255, 5, std::string("ERROR\0", 6)},
        {" First", 255, 5, std::string("ERROR\0", 6)},  // a listing does not trim
        {"Nowhere", 4, 3, std::string("ERR\0", 4)},
    };
    for (const auto& c : cases) {
        Answer a = Read(text, c.section, nullptr, "ERROR", c.size);
        const char* name = c.section ? c.section : "(null)";
        EXPECT_EQ(a.count, c.count) << name << " size " << c.size;
        EXPECT_EQ(a.bytes, c.bytes) << name << " size " << c.size;
    }
}

TEST(ProfileReader, SurvivesBadInput) {
    // Binary garbage around a good section, NUL bytes included.
    std::string garbage;
    unsigned state = 7;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245u + 12345u;
        garbage += static_cast<char>((state >> 16) & 0xFF);
        if (i == 10000) garbage += "\n[Model_List]\n1=good\n";
    }
    EXPECT_EQ(Value(garbage, "Model_List", "1"), "good");
    EXPECT_EQ(Value(std::string(4096, '\0'), "Model_List", "1"), "ERROR");
    EXPECT_EQ(Value(std::string(4096, '\r'), "Model_List", "1"), "ERROR");
    EXPECT_EQ(Value("[[[[]]]]\n====\n[\n]\n=\n", "[[[", "="), "ERROR");

    // A 1 MB line: the value cut to 254 bytes.
    std::string longLine = "[Model_List]\n1=" + std::string(1u << 20, 'v') + "\n2=after\n";
    Answer a = Read(longLine, "Model_List", "1", "ERROR", 255);
    EXPECT_EQ(a.count, 254u);
    EXPECT_EQ(a.bytes, std::string(254, 'v') + '\0');
    EXPECT_EQ(Value(longLine, "Model_List", "2"), "after");

    // About 10 MB, the section asked for at the end.
    std::string big;
    big.reserve(11u << 20);
    while (big.size() < (10u << 20)) big += "[Filler]\r\n1=filler\r\n2=more filler\r\n";
    big += "[Model_List]\r\n1=LAST\r\n";
    EXPECT_EQ(Value(big, "Model_List", "1"), "LAST");
    EXPECT_EQ(Value(big, "Filler", "2"), "more filler");
}

TEST(ProfileReader, ParsesEveryKeyLine) {
    std::vector<ProfileEntry> entries =
        ParseProfile("1=top\r\n[A] x\r\n k = \"v\" \r\n;c\r\nbare\r\n[B]\r\nk=2\r\n[a]\r\nk=3\r\n");
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[0].line, 1);
    EXPECT_EQ(entries[0].section, "");
    EXPECT_EQ(entries[0].sectionIndex, -1);
    EXPECT_EQ(entries[1].line, 3);
    EXPECT_EQ(entries[1].section, "A");
    EXPECT_EQ(entries[1].key, "k");
    EXPECT_EQ(entries[1].value, "v");
    EXPECT_TRUE(entries[1].hasValue);
    EXPECT_EQ(entries[2].key, ";c");
    EXPECT_FALSE(entries[3].hasValue);
    EXPECT_EQ(entries[5].section, "a");
    EXPECT_EQ(entries[5].sectionIndex, 2);
    EXPECT_EQ(entries[5].line, 9);
}

}  // namespace
