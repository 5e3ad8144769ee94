// Reads what the recording program (Recorder.cpp) wrote: one record per run,
// appended to "<the program's path>.log".
//
// A record is the line "RECORD", entries, and the line "END". An entry is a
// tag byte, the decimal length of its value, a colon, the value's bytes
// exactly, and a line feed. Tags:
//   C  the raw command line, GetCommandLineA() (Windows only)
//   A  one argument as the C runtime gave it to main, argv[0] first
//   W  one argument from CommandLineToArgvW, in the ANSI code page (Windows)
//   D  the current directory
//   0, 1, 2  what standard input, output and error are (Linux: readlink of
//      /proc/self/fd/N, or "closed")
//   P  the process id
// A record that lacks its END (a run still writing, or one that died) is not
// returned.
#pragma once

#include <cstddef>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

struct Recording {
    std::optional<std::string> commandLine;
    std::vector<std::string> argv;      // argv[0] first
    std::vector<std::string> wideArgv;  // argv[0] first, Windows only
    std::string directory;
    std::string stdio[3];
    std::string pid;

    // The arguments after the program name.
    std::vector<std::string> Arguments() const {
        return argv.empty() ? std::vector<std::string>()
                            : std::vector<std::string>(argv.begin() + 1, argv.end());
    }
};

inline std::vector<Recording> ParseRecordings(const std::string& text) {
    std::vector<Recording> records;
    const std::string begin = "RECORD\n";
    const std::string end = "END\n";
    std::size_t pos = 0;
    while (text.compare(pos, begin.size(), begin) == 0) {
        pos += begin.size();
        Recording record;
        bool complete = false;
        while (pos < text.size()) {
            if (text.compare(pos, end.size(), end) == 0) {
                pos += end.size();
                complete = true;
                break;
            }
            char tag = text[pos++];
            std::size_t colon = text.find(':', pos);
            if (colon == std::string::npos || colon == pos) return records;
            std::size_t length = 0;
            for (std::size_t i = pos; i < colon; ++i) {
                if (text[i] < '0' || text[i] > '9') return records;
                length = length * 10 + static_cast<std::size_t>(text[i] - '0');
            }
            pos = colon + 1;
            if (text.size() - pos < length + 1 || text[pos + length] != '\n') return records;
            std::string value = text.substr(pos, length);
            pos += length + 1;
            switch (tag) {
                case 'C':
                    record.commandLine = value;
                    break;
                case 'A':
                    record.argv.push_back(value);
                    break;
                case 'W':
                    record.wideArgv.push_back(value);
                    break;
                case 'D':
                    record.directory = value;
                    break;
                case '0':
                case '1':
                case '2':
                    record.stdio[tag - '0'] = value;
                    break;
                case 'P':
                    record.pid = value;
                    break;
                default:
                    break;
            }
        }
        if (!complete) break;
        records.push_back(std::move(record));
    }
    return records;
}

// The complete records of a log; none when there is no log.
inline std::vector<Recording> ReadRecordings(const std::string& logPath) {
    std::ifstream in(logPath, std::ios::binary);
    if (!in) return {};
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseRecordings(text);
}
