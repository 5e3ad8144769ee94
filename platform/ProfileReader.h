// INI text read by the rules of the Windows profile functions
// (GetPrivateProfileStringA), independent of where the text comes from.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Win32Types.h"

// One key line of a profile, as the reader sees it.
struct ProfileEntry {
    int line;             // 1-based line number in the text
    std::string section;  // name of the section it stands in, trimmed
    int sectionIndex;     // 0 for the first section header, 1 for the next, ...
    std::string key;      // trimmed
    std::string value;    // trimmed, one pair of enclosing quotes removed
};

// Every key line of `text`, in file order, duplicates and repeated sections
// included (the lookup below decides which one counts).
std::vector<ProfileEntry> ParseProfile(std::string_view text);

// GetPrivateProfileStringA over `text`, the contents of an existing file:
// the same result, the same bytes in `out`. Sets no last error.
DWORD ReadProfileString(std::string_view text, LPCSTR section, LPCSTR key, LPCSTR defaultValue,
                        LPSTR out, DWORD size);
