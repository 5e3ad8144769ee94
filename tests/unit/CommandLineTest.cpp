#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CommandLine.h"

namespace {

using Args = std::vector<std::string>;

std::string Show(const Args& args) {
    std::string text = "{";
    for (const std::string& a : args) text += "[" + a + "]";
    return text + "}";
}

TEST(CommandLineTailTest, SkipsTheProgramNameAndTheBytesAfterIt) {
    struct Case {
        const char* line;
        const char* tail;
    };
    const Case cases[] = {
        {"\"C:\\Kit\\Tavrel.exe\" /s x", "/s x"},
        {"Tavrel.exe /s x", "/s x"},
        {"\"C:\\Program Files\\Kit\\Tavrel.exe\" \t  a b", "a b"},
        {"\"C:\\Kit\\Tavrel.exe\"a b", "a b"},
        {"Tavrel.exe\t\x01\x1f\x0a\x0d a", "a"},
        {"Tavrel.exe a  \t ", "a  \t "},
        {"Tavrel.exe   ", ""},
        {"Tavrel.exe", ""},
        {"\"\"", ""},
        {"\"\" a", "a"},
        {"", ""},
        // A name whose closing quote is missing takes the whole line.
        {"\"C:\\Kit\\Tavrel.exe a b", ""},
        // Quotes only matter at the start of the name.
        {"C:\\Ki\"t x\"\\T.exe y", "x\"\\T.exe y"},
        // Bytes above 127 belong to a bare name.
        {"T\xe9\x95\\.exe \xe9", "\xe9"},
        // A byte of value 33 is not skipped.
        {"T.exe !a", "!a"},
    };
    for (const Case& c : cases) {
        const char* tail = CommandLineTail(c.line);
        EXPECT_STREQ(tail, c.tail) << c.line;
        // The tail is the rest of the given text, not a copy.
        const std::string line(c.line);
        EXPECT_EQ(tail, c.line + line.size() - std::string(c.tail).size()) << c.line;
    }
    EXPECT_STREQ(CommandLineTail(nullptr), "");
}

// Microsoft's table of examples for the C runtime's parsing, then our own:
// every case holds for the runtime of Visual C++ 2008 and later.
TEST(SplitCommandLineTest, GivesTheArgumentsOfTheCRuntime) {
    struct Case {
        std::string text;
        Args argv;
    };
    const Case cases[] = {
        {R"("abc" d e)", {"abc", "d", "e"}},
        {R"(a\\b d"e f"g h)", {R"(a\\b)", "de fg", "h"}},
        {R"(a\\\"b c d)", {R"(a\"b)", "c", "d"}},
        {R"(a\\\\"b c" d e)", {R"(a\\b c)", "d", "e"}},
        // A doubled quote inside quotes is one quote, and the region goes on.
        {R"(a"b"" c d)", {R"(ab" c d)"}},
        {R"("a""b")", {R"(a"b)"}},
        {R"("""")", {R"(")"}},
        {R"(""")", {R"(")"}},
        {R"(""""" x)", {R"("" x)"}},
        // Outside quotes a pair opens and closes an empty region.
        {R"(x""y)", {"xy"}},
        {R"("" "")", {"", ""}},
        {R"("")", {""}},
        {R"(a "" b)", {"a", "", "b"}},
        // Blanks and tabs separate, runs of them too; nothing else does.
        {"", {}},
        {" \t  ", {}},
        {"  a\t\tb  ", {"a", "b"}},
        {"a\nb\x0b\x01 c", {"a\nb\x0b\x01", "c"}},
        {"\"a\tb\"", {"a\tb"}},
        {"a \"  \" b", {"a", "  ", "b"}},
        // Backslashes are literal unless a quote follows.
        {R"(C:\Kit\ D:\ x\\)", {R"(C:\Kit\)", R"(D:\)", R"(x\\)"}},
        {R"(\\server\share)", {R"(\\server\share)"}},
        {R"(\")", {R"(")"}},
        {R"("\\")", {R"(\)"}},
        {R"("a b\\" c)", {R"(a b\)", "c"}},
        {R"("a\"b")", {R"(a"b)"}},
        {R"(\\\\\" x)", {R"(\\")", "x"}},
        {R"(a\\\"")", {R"(a\")"}},
        // An open region runs to the end.
        {R"("a b)", {"a b"}},
        {R"(a "b c  )", {"a", "b c  "}},
        {R"(a\")", {R"(a")"}},
        // Bytes above 127 are plain bytes, a trail byte 0x5C is a backslash.
        {"\xe9t\xe9 \x95\\ \xff\"\x95\\\"\"", {"\xe9t\xe9", "\x95\\", "\xff\x95\""}},
        // Shell characters mean nothing here.
        {"$HOME;ls|*`x` 'a b'", {"$HOME;ls|*`x`", "'a", "b'"}},
        // The text ends at a NUL, as the runtime's C string would.
        {std::string("a b\0c d", 7), {"a", "b"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitCommandLine(c.text), c.argv) << "text: " << c.text;
    }
}

TEST(SplitCommandLineTest, HandlesLongRunsWhole) {
    // 32 KB, the longest command line Windows takes.
    const std::string run(32766, '\\');
    EXPECT_EQ(SplitCommandLine(run + "\""), Args{std::string(16383, '\\')});
    EXPECT_EQ(SplitCommandLine("\"" + std::string(32766, '"')), Args{std::string(16383, '"')});
    std::string blanks(32768, ' ');
    blanks[100] = 'x';
    EXPECT_EQ(SplitCommandLine(blanks), Args{"x"});
}

TEST(JoinCommandLineTest, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(JoinCommandLine({}), "");
    EXPECT_EQ(JoinCommandLine({"/s", "C:\\Kit\\", "x=1"}), "/s C:\\Kit\\ x=1");
    EXPECT_EQ(JoinCommandLine({""}), "\"\"");
    EXPECT_EQ(JoinCommandLine({"a b\\"}), "\"a b\\\\\"");
    EXPECT_EQ(JoinCommandLine({"say \"hi\""}), "\"say \\\"hi\\\"\"");
}

TEST(JoinCommandLineTest, SplitsBackIntoTheSameArguments) {
    const std::vector<Args> vectors = {
        {},
        {""},
        {"", "", ""},
        {" "},
        {"\t"},
        {"a b", "c\td", "  lead", "trail  "},
        {"\"", "\"\"", "\"\"\"", "a\"b", "\" \""},
        {"\\", "\\\\", "a\\", "a b\\", "a b\\\\", "\\\"", "\\\\\"", "x\\\\\\\"y"},
        {"C:\\Program Files\\Kit\\", "\\\\server\\share dir\\"},
        {"\xe9t\xe9", "\x95\\", "\x95\\ \"", "\xff\xfe\x80"},
        {"$(touch x)", "`id`", "a;b|c*", "'q'", "%PATH%", "^&<>"},
        {"line\nbreak", "\x01\x1f", "\r"},
    };
    for (const Args& v : vectors) {
        const std::string text = JoinCommandLine(v);
        EXPECT_EQ(SplitCommandLine(text), v) << Show(v) << " joined as " << text;
    }
}

TEST(JoinCommandLineTest, SplitsBackForGeneratedVectors) {
    // Bytes that the rules care about, and some they should not.
    const char alphabet[] = {' ', '\t', '"', '\\', 'a', '\xe9', '\x95', '\n', '\x01', '\\', '"'};
    std::uint32_t state = 12345;
    auto next = [&state](std::uint32_t bound) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % bound;
    };
    for (int round = 0; round < 20000; ++round) {
        Args v(next(5));
        for (std::string& a : v) {
            a.resize(next(9));
            for (char& c : a) c = alphabet[next(sizeof alphabet)];
        }
        const std::string text = JoinCommandLine(v);
        ASSERT_EQ(SplitCommandLine(text), v) << Show(v) << " joined as " << text;
    }
}

TEST(JoinCommandLineTest, SplitsBackForLongArguments) {
    std::string arg;
    for (int i = 0; i < 4096; ++i) arg += (i % 3 == 0) ? "\\\\\" " : "\\";
    const Args v = {arg, std::string(32768, '\\'), std::string(20000, '"')};
    EXPECT_EQ(SplitCommandLine(JoinCommandLine(v)), v);
}

}  // namespace
