// Runs a list of profile lookups through the host platform's
// GetPrivateProfileStringA and prints what each returned: the count, the last
// error and every byte of the buffer. Built for Windows it asks the system's
// own reader (Wine's here); built for Linux it asks ours. Both print the same
// text for the same answers, so one golden file holds them to each other.
//
//   ProfileProbe LOOKUPS FIXTURE_DIR SCRATCH_DIR [GOLDEN]
//
// With GOLDEN, the printed lines are also compared with that file's, each
// difference reported on stderr, and the exit status is 1 on any.
// LOOKUPS has one lookup a line, fields separated by '|':
//   file|section|key|default|size
// with C-style \xNN, \t, \r, \n, \\ and \| escapes, "<null>" for a null
// pointer, and '#' starting a comment line. A file name beginning "gen-" is
// made by this program in SCRATCH_DIR (inputs too big or too odd to commit);
// others are in FIXTURE_DIR. Paths are handed over with backslashes.
#include <errno.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#endif

#include "Platform.h"

namespace {

constexpr unsigned char kUnwritten = 0xEE;  // buffer bytes before the call
constexpr std::size_t kGuard = 16;          // bytes past nSize checked for writes

struct Field {
    bool null = false;
    std::string text;
};

std::string Unescape(const std::string& in) {
    std::string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if (c != '\\' || i + 1 == in.size()) {
            out += c;
            continue;
        }
        char e = in[++i];
        switch (e) {
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            case 'x':
                if (i + 2 < in.size() && isxdigit(static_cast<unsigned char>(in[i + 1])) &&
                    isxdigit(static_cast<unsigned char>(in[i + 2]))) {
                    out += static_cast<char>(std::strtol(in.substr(i + 1, 2).c_str(), nullptr, 16));
                    i += 2;
                } else {
                    out += "\\x";
                }
                break;
            default:
                out += e;
                break;
        }
    }
    return out;
}

std::string Escape(const std::string& in) {
    std::string out;
    for (unsigned char c : in) {
        if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"' && c != '|') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

// Splits at '|' not preceded by a backslash.
std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            fields.back() += line[i];
            fields.back() += line[++i];
        } else if (line[i] == '|') {
            fields.emplace_back();
        } else {
            fields.back() += line[i];
        }
    }
    return fields;
}

Field ParseField(const std::string& raw) {
    Field f;
    if (raw == "<null>") {
        f.null = true;
    } else {
        f.text = Unescape(raw);
    }
    return f;
}

// A directory given on the command line, in the form the platform's reader
// takes: on Windows a Unix path is reached through drive Z:.
std::string PlatformDir(std::string dir) {
#ifdef _WIN32
    if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;
#endif
    for (char& c : dir) {
        if (c == '/') c = '\\';
    }
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    return dir;
}

// A path this program opens itself, in the C runtime's terms.
std::string LocalPath(std::string path) {
#ifdef _WIN32
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
#endif
    return path;
}

std::vector<std::string> ReadLines(const std::string& path, bool* ok) {
    std::vector<std::string> lines;
    FILE* f = fopen(LocalPath(path).c_str(), "rb");
    *ok = f != nullptr;
    if (f == nullptr) return lines;
    std::string line;
    int c;
    for (;;) {
        line.clear();
        while ((c = fgetc(f)) != EOF && c != '\n') line += static_cast<char>(c);
        if (c == EOF && line.empty()) break;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        if (c == EOF) break;
    }
    fclose(f);
    return lines;
}

bool WriteFile(const std::string& path, const std::string& data) {
    FILE* f = fopen(LocalPath(path).c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && ok;
}

bool MakeDir(const std::string& path) {
#ifdef _WIN32
    int rc = _mkdir(LocalPath(path).c_str());
#else
    int rc = mkdir(path.c_str(), 0755);
#endif
    return rc == 0 || errno == EEXIST;
}

// Inputs that are generated rather than committed: too big, or bytes an
// editor or a diff would mangle.
bool MakeGenerated(const std::string& dir) {
    std::string d = dir;
    if (!d.empty() && d.back() != '/' && d.back() != '\\') d += '/';
    bool ok = MakeDir(dir);

    // A directory where the file should be, and a file where a directory
    // should be (gen-empty.ini\x.ini).
    ok &= MakeDir(d + "gen-dir.ini");
    ok &= WriteFile(d + "gen-empty.ini", "");

    // NUL bytes inside names, values and headers.
    static const char nul[] =
        "[Model_List]\n"
        "1=before\0after\n"
        "2\0junk=two\n"
        "\0003=three\n"
        "4=\"q\0\"\n"
        "[Sec\0tail]\n"
        "5=five\n";
    ok &= WriteFile(d + "gen-nul.ini", std::string(nul, sizeof nul - 1));

    // Binary garbage around one good section, from a fixed generator so that
    // every run sees the same bytes.
    std::string garbage;
    unsigned state = 12345;
    auto noise = [&](std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            state = state * 1103515245u + 12345u;
            garbage += static_cast<char>((state >> 16) & 0xFF);
        }
    };
    noise(4096);
    garbage += "\n[Model_List]\n1=good\n";
    noise(4096);
    ok &= WriteFile(d + "gen-garbage.ini", garbage);

    // About 10 MB: many sections of many keys, the one that is asked for last.
    std::string big;
    big.reserve(10u << 20);
    for (int s = 0; big.size() < (10u << 20); ++s) {
        big += "[Filler" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 200; ++k) {
            big += std::to_string(k) + "=filler value for key " + std::to_string(k) + "\r\n";
        }
    }
    big += "[Model_List]\r\n1=LAST,PCI\\VEN_1D9A,Setup.exe\r\n";
    ok &= WriteFile(d + "gen-big.ini", big);

    // A 1 MB value on one line.
    std::string longLine = "[Model_List]\n1=";
    for (std::size_t i = 0; i < (1u << 20); ++i) {
        longLine += static_cast<char>('A' + i % 26);
    }
    longLine += "\n2=after\n";
    ok &= WriteFile(d + "gen-longline.ini", longLine);

    // A 1 MB key name, and a 1 MB run of carriage returns without a line feed.
    std::string longKey = "[Model_List]\n" + std::string(1u << 20, 'k') + "=v\n1=one\n";
    ok &= WriteFile(d + "gen-longkey.ini", longKey);
    std::string crs = "[Model_List]\r1=one" + std::string(1u << 20, '\r') + "2=two\r";
    ok &= WriteFile(d + "gen-crs.ini", crs);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        fprintf(stderr, "usage: ProfileProbe LOOKUPS FIXTURE_DIR SCRATCH_DIR [GOLDEN]\n");
        return 2;
    }
    bool ok = false;
    std::vector<std::string> lookups = ReadLines(argv[1], &ok);
    if (!ok) {
        fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    std::vector<std::string> golden;
    if (argc == 5) {
        golden = ReadLines(argv[4], &ok);
        if (!ok) {
            fprintf(stderr, "cannot read %s\n", argv[4]);
            return 2;
        }
    }
    if (!MakeGenerated(argv[3])) {
        fprintf(stderr, "cannot make the generated inputs in %s\n", argv[3]);
        return 2;
    }
    const std::string fixtureDir = PlatformDir(argv[2]);
    const std::string scratchDir = PlatformDir(argv[3]);
    Platform& platform = HostPlatform();

    std::vector<std::string> results;
    bool failed = false;
    for (const std::string& line : lookups) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> raw = SplitFields(line);
        if (raw.size() != 5) {
            fprintf(stderr, "bad lookup: %s\n", line.c_str());
            failed = true;
            continue;
        }
        Field file = ParseField(raw[0]);
        Field section = ParseField(raw[1]);
        Field key = ParseField(raw[2]);
        Field def = ParseField(raw[3]);
        DWORD size = static_cast<DWORD>(std::stoul(raw[4]));

        std::string path =
            (file.text.compare(0, 4, "gen-") == 0 ? scratchDir : fixtureDir) + file.text;
        std::vector<unsigned char> buffer(size + kGuard, kUnwritten);

        platform.SetLastError(0xBAD);
        DWORD result = platform.GetPrivateProfileStringA(
            section.null ? nullptr : section.text.c_str(), key.null ? nullptr : key.text.c_str(),
            def.null ? nullptr : def.text.c_str(), reinterpret_cast<LPSTR>(buffer.data()), size,
            path.c_str());
        DWORD error = platform.GetLastError();

        // Bytes the call left alone at the end of the buffer are shown as a
        // count, so that a 255-byte buffer does not fill a screen.
        std::size_t written = size;
        while (written > 0 && buffer[written - 1] == kUnwritten) --written;
        std::string bytes(buffer.begin(), buffer.begin() + written);
        bool overrun = false;
        for (std::size_t i = size; i < buffer.size(); ++i) overrun |= buffer[i] != kUnwritten;

        char head[64];
        snprintf(head, sizeof head, " => ret=%u err=%u buf=\"", static_cast<unsigned>(result),
                 static_cast<unsigned>(error));
        std::string out = line + head + Escape(bytes) + "\"+" + std::to_string(size - written) +
                          (overrun ? " OVERRUN" : "");
        printf("%s\n", out.c_str());
        results.push_back(out);
    }

    if (argc == 5) {
        std::vector<std::string> expected;
        for (const std::string& g : golden) {
            if (!g.empty() && g[0] != '#') expected.push_back(g);
        }
#ifndef _WIN32
        // Where our reader is meant to answer otherwise than Wine's, the
        // fixture directory says so, line for line, with the reason.
        bool haveDifferences = false;
        std::vector<std::string> differences =
            ReadLines(std::string(argv[2]) + "/linux-differences.txt", &haveDifferences);
        for (std::size_t i = 0; i + 1 < differences.size(); ++i) {
            const std::string& wine = differences[i];
            const std::string& ours = differences[i + 1];
            if (wine.compare(0, 6, "wine: ") != 0 || ours.compare(0, 6, "ours: ") != 0) continue;
            bool used = false;
            for (std::string& e : expected) {
                if (e == wine.substr(6)) {
                    e = ours.substr(6);
                    used = true;
                }
            }
            if (!used) {
                fprintf(stderr, "linux-differences.txt: not in the golden file: %s\n",
                        wine.c_str() + 6);
                failed = true;
            }
        }
#endif
        std::size_t n = results.size() > expected.size() ? results.size() : expected.size();
        for (std::size_t i = 0; i < n; ++i) {
            const char* want = i < expected.size() ? expected[i].c_str() : "(nothing)";
            const char* got = i < results.size() ? results[i].c_str() : "(nothing)";
            if (std::strcmp(want, got) != 0) {
                fprintf(stderr, "lookup %u differs\n  expected: %s\n  got:      %s\n",
                        static_cast<unsigned>(i + 1), want, got);
                failed = true;
            }
        }
    }
    return failed ? 1 : 0;
}
