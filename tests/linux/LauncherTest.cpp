// ShellExecuteA on Linux with real processes: the recorder stands in for an
// installer and writes down how it was started.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Recording.h"
#include "linux/LinuxPlatform.h"

namespace {

using Args = std::vector<std::string>;

void SleepMs(long ms) {
    timespec t{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&t, nullptr);
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void CopyFile(const std::string& from, const std::string& to, mode_t mode) {
    std::ofstream(to, std::ios::binary) << ReadFile(from);
    ASSERT_EQ(::chmod(to.c_str(), mode), 0);
}

std::string CurrentDirectory() {
    char buffer[4096];
    return ::getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

struct ProcStat {
    pid_t pid;
    char state;
    pid_t ppid;
    pid_t session;
};

// Every process we can see, from /proc/<pid>/stat.
std::vector<ProcStat> Processes() {
    std::vector<ProcStat> all;
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) return all;
    while (dirent* entry = ::readdir(proc)) {
        char* end = nullptr;
        long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0') continue;
        std::string stat = ReadFile(std::string("/proc/") + entry->d_name + "/stat");
        // The name in parentheses may hold anything; the fields follow its end.
        std::size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        ProcStat ps{static_cast<pid_t>(pid), '?', 0, 0};
        long ppid = 0;
        long pgrp = 0;
        long session = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %ld %ld %ld", &ps.state, &ppid, &pgrp,
                        &session) != 4) {
            continue;
        }
        ps.ppid = static_cast<pid_t>(ppid);
        ps.session = static_cast<pid_t>(session);
        all.push_back(ps);
    }
    ::closedir(proc);
    return all;
}

std::vector<ProcStat> OurChildren() {
    std::vector<ProcStat> children;
    for (const ProcStat& ps : Processes()) {
        if (ps.ppid == ::getpid()) children.push_back(ps);
    }
    return children;
}

// The running processes whose program is `path`.
std::vector<ProcStat> Running(const std::string& path) {
    std::vector<ProcStat> found;
    for (const ProcStat& ps : Processes()) {
        char target[4096];
        std::string link = "/proc/" + std::to_string(ps.pid) + "/exe";
        ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == path && ps.state != 'Z') {
            found.push_back(ps);
        }
    }
    return found;
}

std::set<std::string> OpenDescriptors(pid_t pid) {
    std::set<std::string> fds;
    std::string path = "/proc/" + std::to_string(pid) + "/fd";
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) return fds;
    while (dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.') fds.insert(entry->d_name);
    }
    ::closedir(dir);
    return fds;
}

std::uintptr_t Code(HINSTANCE h) { return reinterpret_cast<std::uintptr_t>(h); }

class LauncherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/tavrel-launcher-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        dir = name;
        installer = dir + "/Setup Kit.run";
        CopyFile(TAVREL_RECORDER, installer, 0755);
    }
    void TearDown() override {
        ::unsetenv("TAVREL_RECORDER_WAIT_FOR");
        std::string command = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    HINSTANCE Launch(const char* file, const char* parameters, const char* operation = "open",
                     const char* directory = nullptr) {
        return platform.ShellExecuteA(nullptr, operation, file, parameters, directory, SW_HIDE);
    }

    // Waits, a bounded time, for the log of `program` to hold `count` records.
    std::vector<Recording> WaitForRecords(const std::string& program, std::size_t count = 1) {
        std::vector<Recording> records;
        for (int i = 0; i < 2000; ++i) {
            records = ReadRecordings(program + ".log");
            if (records.size() >= count) break;
            SleepMs(10);
        }
        return records;
    }

    Args LaunchAndRecord(const std::string& parameters) {
        EXPECT_GT(Code(Launch(installer.c_str(), parameters.c_str())), 32u) << parameters;
        std::vector<Recording> records = WaitForRecords(installer);
        ::unlink((installer + ".log").c_str());
        if (records.size() != 1) {
            ADD_FAILURE() << "no single record for " << parameters;
            return {};
        }
        EXPECT_EQ(records[0].argv.at(0), installer);
        return records[0].Arguments();
    }

    LinuxPlatform platform;
    std::string dir;
    std::string installer;
};

TEST_F(LauncherTest, PassesTheArgumentsLiterallyWithoutAShell) {
    const std::string marker = dir + "/shell-ran";
    struct Case {
        std::string parameters;
        Args argv;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"/s /v\"/qn\"", {"/s", "/v/qn"}},
        {"a \"b c\" \"d\te\" f\tg", {"a", "b c", "d\te", "f", "g"}},
        {R"("say \"hi\"" C:\Kit\ \\server\share\ "end\\")",
         {"say \"hi\"", R"(C:\Kit\)", R"(\\server\share\)", R"(end\)"}},
        {"$HOME ; | * ? ~ & > < 'a b' %PATH% !x",
         {"$HOME", ";", "|", "*", "?", "~", "&", ">", "<", "'a", "b'", "%PATH%", "!x"}},
        {"$(touch " + marker + ") `touch " + marker + "` ;touch " + marker,
         {"$(touch", marker + ")", "`touch", marker + "`", ";touch", marker}},
        {"\xe9t\xe9 \x95\\ \"\xff\xfe \x80\"", {"\xe9t\xe9", "\x95\\", "\xff\xfe \x80"}},
        {"a\"\"b \"\"", {"ab", ""}},
    };
    for (const Case& c : cases) EXPECT_EQ(LaunchAndRecord(c.parameters), c.argv) << c.parameters;
    EXPECT_FALSE(Exists(marker)) << "a shell ran";

    // The program's own arguments, joined, reach the installer unchanged.
    const Args own = {"", " lead", "trail  ", "tab\there", "q\"uote", "back\\", "\\\\\"", "*"};
    EXPECT_EQ(LaunchAndRecord(JoinCommandLine(own)), own);

    // No parameters at all.
    ASSERT_GT(Code(platform.ShellExecuteA(nullptr, nullptr, installer.c_str(), nullptr, nullptr,
                                          SW_HIDE)),
              32u);
    std::vector<Recording> records = WaitForRecords(installer);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].argv, Args{installer});
}

TEST_F(LauncherTest, TheInstallerRunsDetachedInTheCallersDirectory) {
    ASSERT_GT(Code(Launch(installer.c_str(), "x")), 32u);
    std::vector<Recording> records = WaitForRecords(installer);
    ASSERT_EQ(records.size(), 1u);
    for (const std::string& target : records[0].stdio) EXPECT_EQ(target, "/dev/null");
    EXPECT_EQ(records[0].directory, CurrentDirectory());
}

TEST_F(LauncherTest, ReturnsWhileASlowInstallerRunsAndLeavesNoZombie) {
    const std::string release = dir + "/release";
    ASSERT_EQ(::setenv("TAVREL_RECORDER_WAIT_FOR", release.c_str(), 1), 0);
    // A descriptor the installer must not inherit.
    int leak = ::open("/dev/zero", O_RDONLY);
    ASSERT_GE(leak, 3);

    HINSTANCE result = Launch(installer.c_str(), "slow");
    ::close(leak);
    ::unsetenv("TAVREL_RECORDER_WAIT_FOR");
    ASSERT_GT(Code(result), 32u);

    // Still waiting for the release, so it has recorded nothing yet.
    EXPECT_TRUE(ReadRecordings(installer + ".log").empty());
    std::vector<ProcStat> running = Running(installer);
    ASSERT_EQ(running.size(), 1u);
    EXPECT_NE(running[0].ppid, ::getpid()) << "the installer is our child";
    EXPECT_NE(running[0].session, ::getsid(0)) << "the installer is in our session";
    // Just after exec the loader may still have a library open: wait for it.
    const std::set<std::string> stdio = {"0", "1", "2"};
    std::set<std::string> fds = OpenDescriptors(running[0].pid);
    for (int i = 0; i < 500 && fds != stdio; ++i) {
        SleepMs(10);
        fds = OpenDescriptors(running[0].pid);
    }
    EXPECT_EQ(fds, stdio);
    EXPECT_TRUE(OurChildren().empty()) << "the middle process was not reaped";

    std::ofstream(release).put('x');
    ASSERT_EQ(WaitForRecords(installer).size(), 1u);
    for (int i = 0; i < 2000 && !Running(installer).empty(); ++i) SleepMs(10);
    EXPECT_TRUE(Running(installer).empty());
    for (const ProcStat& child : OurChildren()) {
        ADD_FAILURE() << "child " << child.pid << " left in state " << child.state;
    }
}

TEST_F(LauncherTest, LeavesTheCallersChildHandlingAlone) {
    // A caller that ignores SIGCHLD has its children reaped by the kernel.
    struct sigaction ignore = {};
    struct sigaction previous = {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGCHLD, &ignore, &previous), 0);
    HINSTANCE result = Launch(installer.c_str(), "a");
    struct sigaction after = {};
    ::sigaction(SIGCHLD, &previous, &after);
    EXPECT_GT(Code(result), 32u);
    EXPECT_EQ(after.sa_handler, SIG_IGN);
    EXPECT_EQ(WaitForRecords(installer).size(), 1u);
}

TEST_F(LauncherTest, BackslashesInThePathAreSeparators) {
    ASSERT_EQ(::mkdir((dir + "/Driver").c_str(), 0755), 0);
    const std::string nested = dir + "/Driver/Setup.sh";
    CopyFile(TAVREL_RECORDER, nested, 0755);
    std::string windowsStyle = nested;
    for (char& c : windowsStyle) {
        if (c == '/') c = '\\';
    }
    ASSERT_GT(Code(Launch(windowsStyle.c_str(), "/q")), 32u);
    std::vector<Recording> records = WaitForRecords(nested);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].argv, (Args{nested, "/q"}));
}

TEST_F(LauncherTest, AGivenDirectoryIsTheInstallersWorkingDirectory) {
    ASSERT_EQ(::mkdir((dir + "/work").c_str(), 0755), 0);
    ASSERT_GT(Code(Launch(installer.c_str(), "", "open", (dir + "\\work").c_str())), 32u);
    std::vector<Recording> records = WaitForRecords(installer);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].directory, dir + "/work");
}

TEST_F(LauncherTest, FailuresGiveWindowsCodesAndStartNothing) {
    const std::string plain = dir + "/plain.run";
    CopyFile(TAVREL_RECORDER, plain, 0644);
    const std::string text = dir + "/text.run";
    std::ofstream(text) << "touch " << dir << "/text-ran\n";
    ASSERT_EQ(::chmod(text.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((dir + "/sub").c_str(), 0755), 0);
    const std::string missing = dir + "/missing.run";

    struct Case {
        const char* what;
        const char* operation;
        const char* file;
        const char* directory;
        std::uintptr_t result;
        DWORD lastError;
    };
    const std::string throughFile = installer + "/x";
    const std::string missingDir = dir + "/none/x.run";
    const std::string subdir = dir + "/sub";
    const std::string noSuchDir = dir + "/gone";
    const Case cases[] = {
        {"missing file", "open", missing.c_str(), nullptr, 2, ERROR_FILE_NOT_FOUND},
        {"missing directory", "open", missingDir.c_str(), nullptr, 2, ERROR_PATH_NOT_FOUND},
        {"not executable", "open", plain.c_str(), nullptr, 5, ERROR_ACCESS_DENIED},
        {"a directory", "open", subdir.c_str(), nullptr, 5, ERROR_ACCESS_DENIED},
        {"empty path", "open", "", nullptr, 11, ERROR_INVALID_PARAMETER},
        {"no path", "open", nullptr, nullptr, 11, ERROR_INVALID_PARAMETER},
        {"no #! line", "open", text.c_str(), nullptr, 11, ERROR_BAD_FORMAT},
        {"a file as directory", "open", throughFile.c_str(), nullptr, 2, ERROR_PATH_NOT_FOUND},
        {"no working directory", "open", installer.c_str(), noSuchDir.c_str(), 3,
         ERROR_PATH_NOT_FOUND},
        {"another verb", "print", installer.c_str(), nullptr, 31, ERROR_NO_ASSOCIATION},
    };
    for (const Case& c : cases) {
        platform.SetLastError(0);
        EXPECT_EQ(Code(Launch(c.file, "a b", c.operation, c.directory)), c.result) << c.what;
        EXPECT_EQ(platform.GetLastError(), c.lastError) << c.what;
        EXPECT_TRUE(OurChildren().empty()) << c.what;
    }
    SleepMs(200);
    EXPECT_FALSE(Exists(installer + ".log"));
    EXPECT_FALSE(Exists(plain + ".log"));
    EXPECT_FALSE(Exists(dir + "/text-ran"));

    // The verb is compared without case, as Windows does; an empty one is
    // the default verb.
    EXPECT_GT(Code(Launch(installer.c_str(), "", "OPEN")), 32u);
    EXPECT_GT(Code(Launch(installer.c_str(), "", "")), 32u);
    EXPECT_EQ(WaitForRecords(installer, 2).size(), 2u);
}

}  // namespace
