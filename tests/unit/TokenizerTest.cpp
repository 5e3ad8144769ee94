#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakePlatform.h"
#include "Tokenizer.h"

namespace {

std::vector<std::string> Tokens(Platform& platform, const char* text, const char* delimiter) {
    CTokenizer tokenizer(platform, text);
    tokenizer.SetDelimiter(delimiter);
    std::vector<std::string> tokens;
    while (tokenizer.HasMoreTokens()) tokens.push_back(tokenizer.NextToken().Str());
    return tokens;
}

TEST(TokenizerTest, CutsAtTheDelimiter) {
    struct Case {
        const char* text;
        const char* delimiter;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"A,B,C", ",", {"A", "B", "C"}},
        {"A,B", ",", {"A", "B"}},
        {"A,B,", ",", {"A", "B", ""}},
        {"A,,B", ",", {"A", "", "B"}},
        {",A", ",", {"", "A"}},
        {"A", ",", {}},  // a text without a delimiter yields no token at all
        {"", ",", {}},
        {",", ",", {"", ""}},
        {"A, B", ",", {"A", " B"}},      // blanks belong to the tokens
        {"A::B", "::", {"A", ":B"}},     // only the first byte of the delimiter goes
        {"A B C", " ", {"A", "B", "C"}},  // the default delimiter is one blank
    };
    FakePlatform platform;
    for (const Case& c : cases) {
        EXPECT_EQ(Tokens(platform, c.text, c.delimiter), c.tokens) << c.text;
    }
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST(TokenizerTest, DefaultDelimiterIsABlank) {
    FakePlatform platform;
    CTokenizer tokenizer(platform, "x y");
    ASSERT_TRUE(tokenizer.HasMoreTokens());
    EXPECT_EQ(tokenizer.NextToken(), "x");
    EXPECT_EQ(tokenizer.NextToken(), "y");
    EXPECT_FALSE(tokenizer.HasMoreTokens());
}

TEST(TokenizerTest, TheLastTokenStaysInTheRemainingText) {
    FakePlatform platform;
    CTokenizer tokenizer(platform, "A,B");
    tokenizer.SetDelimiter(",");
    EXPECT_EQ(tokenizer.NextToken(), "A");
    EXPECT_EQ(tokenizer.NextToken(), "B");
    EXPECT_EQ(tokenizer.Remaining(), "B");
    EXPECT_FALSE(tokenizer.HasMoreTokens());
}

TEST(TokenizerTest, ADelimiterInsideADoubleByteCharacterIsNoDelimiter) {
    // 0x82 0x2C would hold a comma as trail byte if 0x2C could trail; use a
    // real Shift_JIS pair with a backslash trail byte and a backslash delimiter.
    FakePlatform platform;
    platform.codePage = CodePage(CodePage::kShiftJis);
    EXPECT_EQ(Tokens(platform, "\x95\x5C\\x", "\\"), (std::vector<std::string>{"\x95\x5C", "x"}));
}

TEST(TokenizerTest, MisuseTellsTheUserAndHandsOutTheRestOnceMore) {
    FakePlatform platform;
    platform.modulePath = "C:\\Kit\\Tavrel.exe";
    CTokenizer tokenizer(platform, "A,B");
    tokenizer.SetDelimiter(",");
    EXPECT_EQ(tokenizer.NextToken(), "A");
    EXPECT_EQ(tokenizer.NextToken(), "B");
    // Asked again although no token is left.
    EXPECT_EQ(tokenizer.NextToken(), "");
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    const FakePlatform::MessageBoxCall& box = platform.messageBoxes[0];
    EXPECT_EQ(box.caption, "Tavrel");
    EXPECT_EQ(box.type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(box.text.substr(0, box.text.find('\n')), "Opps. I did not think this would happen.");
    EXPECT_NE(box.text.find('\n'), std::string::npos);
    EXPECT_EQ(tokenizer.Remaining(), "B");
    EXPECT_TRUE(tokenizer.HasMoreTokens());
    EXPECT_EQ(tokenizer.NextToken(), "B");
    EXPECT_FALSE(tokenizer.HasMoreTokens());
}

}  // namespace
