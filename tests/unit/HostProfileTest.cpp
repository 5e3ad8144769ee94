// GetPrivateProfileStringA of the host platform over real files: ours on
// Linux, the system's (Wine's) on Windows. One set of expectations for both,
// so that a case passing here passes on both readers.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "Platform.h"

namespace {

namespace fs = std::filesystem;

class HostProfile : public ::testing::Test {
  protected:
    void SetUp() override {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() / (std::string("tavrel-profile-") + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    // The path as the program hands it over: with backslashes.
    std::string PathOf(const std::string& name) const {
        std::string path = (m_dir / name).string();
        for (char& c : path) {
            if (c == '/') c = '\\';
        }
        return path;
    }

    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(m_dir / name, std::ios::binary) << text;
    }

    struct Result {
        std::string value;
        DWORD count;
        DWORD error;
    };

    Result Read(const std::string& path, const char* key, const char* def = "ERROR",
                DWORD size = 255) {
        std::string buffer(size + 1, '\x7E');
        Platform& platform = HostPlatform();
        platform.SetLastError(0xBAD);
        DWORD count = platform.GetPrivateProfileStringA("Model_List", key, def, &buffer[0], size,
                                                        path.c_str());
        DWORD error = platform.GetLastError();
        EXPECT_EQ(buffer[size], '\x7E') << "written past the buffer";
        return {std::string(buffer.c_str()), count, error};
    }

    fs::path m_dir;
};

TEST_F(HostProfile, ReadsAFileThroughABackslashPath) {
    Write("Models.ini", "[Model_List]\r\n1=One,PCI\\VEN_1D9A,Driver\\Setup.exe\r\n");
    Result r = Read(PathOf("Models.ini"), "1");
    EXPECT_EQ(r.value, "One,PCI\\VEN_1D9A,Driver\\Setup.exe");
    EXPECT_EQ(r.count, r.value.size());
    EXPECT_EQ(r.error, ERROR_SUCCESS);
    r = Read(PathOf("Models.ini"), "2");
    EXPECT_EQ(r.value, "ERROR");
    EXPECT_EQ(r.error, ERROR_SUCCESS) << "a missing key is no error";
}

TEST_F(HostProfile, MissingFileGivesTheDefaultAndFileNotFound) {
    Result r = Read(PathOf("Models.ini"), "1");
    EXPECT_EQ(r.value, "ERROR");
    EXPECT_EQ(r.count, 5u);
    EXPECT_EQ(r.error, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Read(PathOf("Models.ini"), "1", "\"q\"  ").value, "q");

    r = Read(PathOf("nowhere\\Models.ini"), "1", "\"q\"  ");
    EXPECT_EQ(r.value, "\"q\"") << "a path that cannot be opened keeps the quotes";
    EXPECT_EQ(r.error, ERROR_PATH_NOT_FOUND);
}

TEST_F(HostProfile, DirectoryNamedLikeTheFileIsAccessDenied) {
    fs::create_directory(m_dir / "Models.ini");
    Result r = Read(PathOf("Models.ini"), "1");
    EXPECT_EQ(r.value, "ERROR");
    EXPECT_EQ(r.count, 5u);
    EXPECT_EQ(r.error, ERROR_ACCESS_DENIED);
}

TEST_F(HostProfile, EmptyFileAndOddContent) {
    Write("empty.ini", "");
    Result r = Read(PathOf("empty.ini"), "1");
    EXPECT_EQ(r.value, "ERROR");
    EXPECT_EQ(r.error, ERROR_SUCCESS);

    static const char zeros[] = "[Model_List]\n1=a\0b\n\0\0\0\n2=two\n";
    Write("zeros.ini", std::string(zeros, sizeof zeros - 1));
    EXPECT_EQ(Read(PathOf("zeros.ini"), "1").value, "a");
    EXPECT_EQ(Read(PathOf("zeros.ini"), "2").value, "two");

    Write("keys.ini",
          "[Model_List]\n0=z\n01=l\n+1=p\n51=f\n 1 =one\n2=ERROR\n3=\xE9\x80\xFF\x82\xA0\n");
    EXPECT_EQ(Read(PathOf("keys.ini"), "1").value, "one");
    EXPECT_EQ(Read(PathOf("keys.ini"), "2").value, "ERROR");
    EXPECT_EQ(Read(PathOf("keys.ini"), "3").value, "\xE9\x80\xFF\x82\xA0");
}

TEST_F(HostProfile, BigFileAndLongLine) {
    std::string big;
    big.reserve(11u << 20);
    while (big.size() < (10u << 20)) big += "[Filler]\r\n1=filler\r\n";
    big += "[Model_List]\r\n1=LAST\r\n";
    Write("big.ini", big);
    big = std::string();
    EXPECT_EQ(Read(PathOf("big.ini"), "1").value, "LAST");

    Write("long.ini", "[Model_List]\n1=" + std::string(1u << 20, 'v') + "\n");
    Result r = Read(PathOf("long.ini"), "1");
    EXPECT_EQ(r.count, 254u);
    EXPECT_EQ(r.value, std::string(254, 'v'));
}

TEST_F(HostProfile, ZeroSizeTouchesNothing) {
    Write("Models.ini", "[Model_List]\n1=one\n");
    char c = '\x7E';
    Platform& platform = HostPlatform();
    platform.SetLastError(0xBAD);
    EXPECT_EQ(platform.GetPrivateProfileStringA("Model_List", "1", "ERROR", &c, 0,
                                                PathOf("Models.ini").c_str()),
              0u);
    EXPECT_EQ(c, '\x7E');
    EXPECT_EQ(platform.GetLastError(), 0xBADu);
}

#ifndef _WIN32
// Files Windows has no like of: these must neither hang nor fill memory.
TEST_F(HostProfile, PipeWithoutWriterReadsAsEmpty) {
    ASSERT_EQ(::mkfifo((m_dir / "Models.ini").c_str(), 0600), 0);
    Result r = Read(PathOf("Models.ini"), "1");
    EXPECT_EQ(r.value, "ERROR");
    EXPECT_EQ(r.error, ERROR_SUCCESS);
}

TEST_F(HostProfile, EndlessDeviceIsReadUpToTheCap) {
    Result r = Read("/dev/zero", "1");
    EXPECT_EQ(r.value, "ERROR");
    EXPECT_EQ(r.error, ERROR_SUCCESS);
}

TEST_F(HostProfile, UnreadableFileIsAccessDenied) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
    Write("Models.ini", "[Model_List]\n1=one\n");
    ASSERT_EQ(::chmod((m_dir / "Models.ini").c_str(), 0), 0);
    Result r = Read(PathOf("Models.ini"), "1", "\"q\"");
    EXPECT_EQ(r.value, "\"q\"");
    EXPECT_EQ(r.error, ERROR_ACCESS_DENIED);
}
#endif

}  // namespace
