// INI text read by the rules of the Windows profile functions
// (GetPrivateProfileStringA), independent of where the text comes from.
//
// The rules are those of Wine 8's reader, measured (tests/wine/ProfileProbe):
// a line ends at CR or LF; blanks are 0x09-0x0D, 0x20 and Ctrl-Z; a UTF-8
// byte-order mark is skipped and a UTF-16 one decodes the file; names compare
// ASCII-case-insensitively; a name or value ends at its first NUL byte.
// Other bytes, 0x80 and above included, pass through unchanged.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Win32Types.h"

// One key line of a profile, as the reader sees it.
struct ProfileEntry {
    int line;             // 1-based line number in the text (CR LF counts as one line end)
    std::string section;  // name of the section it stands in, trimmed; "" before any
    int sectionIndex;     // -1 before any header, 0 for the first header, 1 for the next, ...
    std::string key;      // trimmed
    bool hasValue;        // false for a line without '=': no key, yet it hides later ones
    std::string value;    // trimmed, one pair of enclosing quotes removed
};

// Every key line of `text`, in file order, duplicates and repeated sections
// included (the lookup below decides which one counts). Comment lines (';')
// are key lines too, as in the Windows reader, which finds them by name.
std::vector<ProfileEntry> ParseProfile(std::string_view text);

// GetPrivateProfileStringA over `text`, the contents of an existing file:
// the same result, the same bytes in `out`. Sets no last error. A null
// section lists the section names, a null key the section's key names, each
// ending in NUL, the list in one more NUL, cut as Windows cuts it. Writes
// nothing when `size` is 0; otherwise never more than `size` bytes.
DWORD ReadProfileString(std::string_view text, LPCSTR section, LPCSTR key, LPCSTR defaultValue,
                        LPSTR out, DWORD size);

// What GetPrivateProfileStringA gives when the file exists but cannot be
// opened (a directory, no permission, a missing directory on the way): the
// default, trailing spaces removed, quotes kept; nothing for a null section.
DWORD ProfileOpenFailed(LPCSTR section, LPCSTR defaultValue, LPSTR out, DWORD size);
