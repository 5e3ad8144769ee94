// The real ShellExecuteA, through the host platform, starting the cross-built
// recorder: what the child's command line and its C runtime's argv are. The
// argv is the proof that SplitCommandLine splits as the runtime does.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Platform.h"
#include "Recording.h"

namespace {

using Args = std::vector<std::string>;

std::string Show(const Args& args) {
    std::string text = "{";
    for (const std::string& a : args) text += "[" + a + "]";
    return text + "}";
}

std::string OwnDirectory() {
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    return dir.substr(0, dir.rfind('\\') + 1);
}

std::uintptr_t Code(HINSTANCE h) { return reinterpret_cast<std::uintptr_t>(h); }

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_GT(::GetTempPathA(MAX_PATH, temp), 0u);
        dir = std::string(temp) + "tavrel-shell-" + std::to_string(::GetCurrentProcessId()) + "-" +
              std::to_string(::GetTickCount());
        ASSERT_TRUE(::CreateDirectoryA(dir.c_str(), nullptr));
        installer = dir + "\\Setup Kit.exe";
        ASSERT_TRUE(
            ::CopyFileA((OwnDirectory() + TAVREL_RECORDER_NAME).c_str(), installer.c_str(), TRUE));
    }
    void TearDown() override {
        ::DeleteFileA((installer + ".log").c_str());
        ::DeleteFileA(installer.c_str());
        ::RemoveDirectoryA(dir.c_str());
    }

    // Starts the recorder with `parameters` and returns its one record.
    Recording LaunchAndRecord(const char* parameters) {
        Recording none;
        HINSTANCE result = HostPlatform().ShellExecuteA(nullptr, "open", installer.c_str(),
                                                        parameters, nullptr, SW_HIDE);
        EXPECT_GT(Code(result), 32u) << parameters;
        if (Code(result) <= 32) return none;
        std::vector<Recording> records;
        for (int i = 0; i < 3000 && records.empty(); ++i) {
            records = ReadRecordings(installer + ".log");
            if (records.empty()) ::Sleep(10);
        }
        // A run that wrote its record may still hold the log for a moment.
        for (int i = 0; i < 500 && !::DeleteFileA((installer + ".log").c_str()); ++i) ::Sleep(10);
        if (records.size() != 1) {
            ADD_FAILURE() << "no single record for " << parameters;
            return none;
        }
        return records[0];
    }

    std::string dir;
    std::string installer;
};

TEST_F(ShellTest, TheCRuntimeSplitsAsSplitCommandLine) {
    const std::string texts[] = {
        // Microsoft's table of examples.
        R"("abc" d e)",
        R"(a\\b d"e f"g h)",
        R"(a\\\"b c d)",
        R"(a\\\\"b c" d e)",
        R"(a"b"" c d)",
        // Doubled quotes, in and out of quotes.
        R"("a""b" x)",
        R"("""" y)",
        R"(""")",
        R"(""""" x)",
        R"(x""y "" "")",
        // Blanks, tabs and other control bytes.
        " \t a\t\tb  ",
        "a\x0b\x01 \"c\td\"",
        // Backslashes: literal, before quotes, at the end.
        R"(C:\Kit\ \\server\share\ "end\\" \\\\\" x\)",
        R"("a b\\" c "d\"e" f\\\"")",
        // An open region runs to the end.
        R"(a "b c  )",
        // Bytes above 127 and characters a shell would care about.
        "\xe9t\xe9 \"\xe0 \xfc\" $HOME;ls|*`x` 'a b' %PATH%",
        "/s /v\"/qn REBOOT=ReallySuppress\"",
    };
    for (const std::string& text : texts) {
        Recording record = LaunchAndRecord(text.c_str());
        EXPECT_EQ(record.Arguments(), SplitCommandLine(text))
            << "text: " << text << " runtime: " << Show(record.Arguments());
    }
}

TEST_F(ShellTest, JoinedArgumentsReachTheInstallerUnchanged) {
    const std::vector<Args> vectors = {
        {"", " lead", "trail  ", "tab\there"},
        {"\"", "\"\"", "a\"b", "\" \""},
        {"\\", "a\\", "a b\\", "a b\\\\", "\\\"", "x\\\\\\\"y"},
        {"C:\\Program Files\\Kit\\", "\xe9t\xe9", "$(x) `y` a;b|c*"},
    };
    for (const Args& v : vectors) {
        EXPECT_EQ(LaunchAndRecord(JoinCommandLine(v).c_str()).Arguments(), v) << Show(v);
    }
}

TEST_F(ShellTest, TheChildGetsThePathAndTheParametersUnchanged) {
    struct Case {
        const char* parameters;
        const char* tail;  // what follows the quoted path
    };
    const Case cases[] = {
        {"/s x", " /s x"},
        {"  lead and trail \t  ", "   lead and trail \t  "},
        {"\"quoted arg\" \\\\ \"", " \"quoted arg\" \\\\ \""},
    };
    for (const Case& c : cases) {
        Recording record = LaunchAndRecord(c.parameters);
        ASSERT_TRUE(record.commandLine.has_value()) << c.parameters;
        EXPECT_EQ(*record.commandLine, "\"" + installer + "\"" + c.tail) << c.parameters;
        // The tail rule the program applies to its own command line gives the
        // parameters back, less the blanks in front.
        std::string params(c.parameters);
        EXPECT_STREQ(CommandLineTail(record.commandLine->c_str()),
                     params.substr(params.find_first_not_of(" \t")).c_str());
    }

    // No parameters: the installer gets none.
    Recording record = LaunchAndRecord("");
    EXPECT_EQ(record.argv.size(), 1u);
    ASSERT_TRUE(record.commandLine.has_value());
    EXPECT_STREQ(CommandLineTail(record.commandLine->c_str()), "");
}

// What the Linux launcher copies: Windows documents nothing for an empty
// name, so these are the answers of the Windows we can run.
TEST_F(ShellTest, FailuresGiveTheCodesTheLinuxBuildCopies) {
    struct Case {
        const char* what;
        std::string file;
        std::uintptr_t result;
        DWORD lastError;
    };
    const Case cases[] = {
        {"empty path", "", 11, ERROR_INVALID_PARAMETER},
        {"missing file", dir + "\\missing.exe", 2, ERROR_FILE_NOT_FOUND},
        {"missing directory", dir + "\\none\\missing.exe", 2, ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        HostPlatform().SetLastError(0);
        HINSTANCE result =
            HostPlatform().ShellExecuteA(nullptr, "open", c.file.c_str(), "x", nullptr, SW_HIDE);
        EXPECT_EQ(Code(result), c.result) << c.what;
        EXPECT_EQ(HostPlatform().GetLastError(), c.lastError) << c.what;
    }
}

}  // namespace
