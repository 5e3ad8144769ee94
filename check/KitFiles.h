// The few file-system questions the tool asks of a kit, outside the
// platform boundary: Tavrel itself never asks them.
#pragma once

#include <string>

// The absolute form of `dir`, ending in a path separator; false when it is
// not a directory that can be listed.
bool KitDirectory(const std::string& dir, std::string& absolute);

// A path as Tavrel names it (backslashes as separators on every system)
// names an existing regular file.
bool InstallerExists(const std::string& path);

// The whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& text);
bool WriteWholeFile(const std::string& path, const std::string& text);

// The program file Tavrel would be in a kit: Tavrel.exe, or tavrel on Linux.
const char* ProgramFileName();
