#include "ProfileReader.h"

#include <cstring>

namespace {

using View = std::string_view;

// Ctrl-Z counts as a blank: DOS editors left it at the end of files.
bool IsBlank(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 0x09 && u <= 0x0D) || u == 0x1A || u == 0x20;
}

View TrimLeft(View v) {
    while (!v.empty() && IsBlank(v.front())) v.remove_prefix(1);
    return v;
}

View TrimRight(View v) {
    while (!v.empty() && IsBlank(v.back())) v.remove_suffix(1);
    return v;
}

View Trim(View v) { return TrimRight(TrimLeft(v)); }

// The reader keeps names and values as C strings: what follows a NUL byte
// inside one is never seen.
View UpToNul(View v) {
    std::size_t nul = v.find('\0');
    return nul == View::npos ? v : v.substr(0, nul);
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Windows folds only ASCII letters here: "\xC9" and "\xE9" are different
// names in every code page.
bool SameName(View a, View b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

// Text behind a UTF-16 byte-order mark, as bytes: ASCII as it is, the rest
// as UTF-8.
std::string FromUtf16(View text, bool bigEndian) {
    std::string out;
    out.reserve(text.size() / 2);
    auto unit = [&](std::size_t i) -> unsigned {
        unsigned char a = static_cast<unsigned char>(text[i]);
        unsigned char b = static_cast<unsigned char>(text[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    for (std::size_t i = 2; i + 1 < text.size(); i += 2) {
        unsigned c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < text.size()) {
            unsigned low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The text to parse: a UTF-8 mark skipped, a UTF-16 file decoded into
// `storage`. Anything else is taken as bytes of the ANSI code page.
View Decode(View text, std::string& storage) {
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) return text.substr(3);
    if (text.size() >= 2 &&
        (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0)) {
        storage = FromUtf16(text, text[0] == '\xFE');
        return storage;
    }
    return text;
}

// One line of the profile as the reader takes it apart.
struct Line {
    enum Kind { kBlank, kSection, kKey } kind = kBlank;
    View name;  // as stored: trimmed, not yet cut at NUL
    bool hasValue = false;
    View value;  // trimmed, quotes still on
};

Line ParseLine(View raw) {
    Line line;
    View t = Trim(raw);
    if (t.empty()) return line;
    if (t.front() == '[') {
        // The name runs to the last ']' of the line; text after it is
        // dropped. A '[' line without one is read as a key line.
        std::size_t close = t.rfind(']');
        if (close != View::npos && close > 0) {
            line.kind = Line::kSection;
            line.name = Trim(t.substr(1, close - 1));
            return line;
        }
    }
    line.kind = Line::kKey;
    std::size_t eq = t.find('=');
    if (eq == View::npos) {
        line.name = t;
    } else {
        line.name = TrimRight(t.substr(0, eq));
        line.hasValue = true;
        line.value = TrimLeft(t.substr(eq + 1));
    }
    return line;
}

// Walks the lines of a text in place. A line ends at CR or at LF, so CR LF
// leaves an empty line between, which the reader skips like any blank one.
class LineWalker {
  public:
    explicit LineWalker(View text) : m_text(text) {}

    bool Next(View& line) {
        if (m_pos >= m_text.size()) return false;
        std::size_t end = m_pos;
        while (end < m_text.size() && m_text[end] != '\r' && m_text[end] != '\n') ++end;
        line = m_text.substr(m_pos, end - m_pos);
        if (end < m_text.size()) {
            // Line numbers count CR LF once.
            if (!(m_text[end] == '\n' && end > 0 && m_text[end - 1] == '\r' && end == m_pos)) {
                ++m_number;
            }
        } else {
            ++m_number;
        }
        m_pos = end + 1;
        return true;
    }

    int Number() const { return m_number; }

  private:
    View m_text;
    std::size_t m_pos = 0;
    int m_number = 0;
};

// Calls `onSection(name)` for every section header and `onKey(line)` for
// every key line that the reader keeps, until one of them returns false.
// Before the first header the reader stands in a section without a name.
// A line "=..." right after a key whose name is empty is not kept.
template <typename OnSection, typename OnKey>
void Walk(View text, OnSection onSection, OnKey onKey) {
    LineWalker lines(text);
    View raw;
    bool havePrevKey = false;
    bool prevKeyEmpty = false;
    while (lines.Next(raw)) {
        Line line = ParseLine(raw);
        if (line.kind == Line::kBlank) continue;
        if (line.kind == Line::kSection) {
            havePrevKey = false;
            if (!onSection(line, lines.Number())) return;
            continue;
        }
        if (line.name.empty() && havePrevKey && prevKeyEmpty) continue;
        havePrevKey = true;
        prevKeyEmpty = UpToNul(line.name).empty();
        if (!onKey(line, lines.Number())) return;
    }
}

// The default as the reader takes it: trailing spaces (only spaces) cut,
// though never its first character.
View CleanDefault(LPCSTR defaultValue) {
    View def = defaultValue != nullptr ? View(defaultValue) : View();
    while (def.size() > 1 && def.back() == ' ') def.remove_suffix(1);
    return def;
}

// Copies a value the way the reader does, into `w` (at most size - 1 bytes):
// one pair of enclosing quotes is dropped. The closing quote is dropped as
// the last byte copied whenever the whole value would fit with it, which
// with a buffer just one byte short cuts a byte of the value instead.
void CopyEntry(View value, DWORD size, std::string& w) {
    bool quoted = false;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        quoted = true;
        value.remove_prefix(1);
    }
    std::size_t n = value.size() < size - 1 ? value.size() : size - 1;
    w.assign(value.data(), n);
    if (quoted && size >= value.size() && !w.empty()) w.pop_back();
}

// Hands the result over as the ANSI function does: `count` bytes of the
// wide result, then a NUL.
DWORD Deliver(const std::string& w, std::size_t count, LPSTR out) {
    std::memcpy(out, w.data(), count);
    out[count] = '\0';
    return static_cast<DWORD>(count);
}

DWORD ListSections(View text, LPSTR out, DWORD size) {
    if (size == 1) return Deliver(std::string(), 0, out);
    std::string w;
    std::size_t room = size - 1;
    bool cut = false;
    Walk(
        text,
        [&](const Line& line, int) {
            View name = UpToNul(line.name);
            if (name.empty()) return true;
            if (name.size() + 1 >= room) {
                // The last name that does not fit is cut and the list
                // ends there.
                w.append(name.data(), room - 1);
                w += '\0';
                cut = true;
                return false;
            }
            w.append(name.data(), name.size());
            w += '\0';
            room -= name.size() + 1;
            return true;
        },
        [](const Line&, int) { return true; });
    return Deliver(w, cut ? size - 2 : w.size(), out);
}

DWORD ListKeys(View text, View section, View def, LPSTR out, DWORD size) {
    std::string w;
    std::size_t count = 0;
    bool found = false;
    bool inSection = section.empty();  // the nameless section comes first
    found = inSection;
    std::size_t len = size;
    bool stop = false;
    Walk(
        text,
        [&](const Line& line, int) {
            if (inSection) return false;  // only the first section of a name counts
            if (SameName(UpToNul(line.name), section)) inSection = found = true;
            return true;
        },
        [&](const Line& line, int) {
            if (!inSection) return true;
            if (stop || len <= 2) {
                stop = true;
                return false;
            }
            View name = UpToNul(line.name);
            if (!line.hasValue) return true;
            if (!name.empty() && name.front() == ';') return true;
            std::size_t n = name.size() < len - 2 ? name.size() : len - 2;
            w.append(name.data(), n);
            w += '\0';
            len -= n + 1;
            if (len < 2) stop = true;
            return !stop;
        });
    if (found) {
        if (len <= 1) {
            // Out of room: the last name is cut by one byte to make the
            // list's closing NUL, and the count is size - 2.
            if (!w.empty()) w.back() = '\0';
            count = size - 2;
        } else {
            count = size - len;
        }
    }
    if (w.empty() || w[0] == '\0') {
        // Nothing listed: the default instead.
        CopyEntry(def, size, w);
        count = w.size();
    }
    if (count > w.size()) count = w.size();
    return Deliver(w, count, out);
}

DWORD LookUp(View text, View section, View key, View def, LPSTR out, DWORD size) {
    bool inSection = section.empty();
    bool found = false;
    bool hasValue = false;
    View value;
    Walk(
        text,
        [&](const Line& line, int) {
            if (inSection) return false;  // only the first section of a name counts
            inSection = SameName(UpToNul(line.name), section);
            return true;
        },
        [&](const Line& line, int) {
            if (!inSection || !SameName(UpToNul(line.name), key)) return true;
            // The first line of the name decides, one without '=' too.
            found = true;
            hasValue = line.hasValue;
            value = UpToNul(line.value);
            return false;
        });
    std::string w;
    CopyEntry(found && hasValue ? value : def, size, w);
    return Deliver(w, w.size(), out);
}

}  // namespace

std::vector<ProfileEntry> ParseProfile(std::string_view text) {
    std::string storage;
    View decoded = Decode(text, storage);
    std::vector<ProfileEntry> entries;
    std::string section;
    int sectionIndex = -1;
    Walk(
        decoded,
        [&](const Line& line, int) {
            section = std::string(UpToNul(line.name));
            ++sectionIndex;
            return true;
        },
        [&](const Line& line, int number) {
            std::string value;
            if (line.hasValue) {
                View v = UpToNul(line.value);
                CopyEntry(v, static_cast<DWORD>(v.size() + 2), value);
            }
            entries.push_back({number, section, sectionIndex, std::string(UpToNul(line.name)),
                               line.hasValue, value});
            return true;
        });
    return entries;
}

DWORD ReadProfileString(std::string_view text, LPCSTR section, LPCSTR key, LPCSTR defaultValue,
                        LPSTR out, DWORD size) {
    if (out == nullptr || size == 0) return 0;
    std::string storage;
    View decoded = Decode(text, storage);
    View def = CleanDefault(defaultValue);
    if (section == nullptr) return ListSections(decoded, out, size);
    // The listing takes the section name as given, the lookup trims it.
    if (key == nullptr) return ListKeys(decoded, View(section), def, out, size);
    return LookUp(decoded, Trim(View(section)), Trim(View(key)), def, out, size);
}

DWORD ProfileOpenFailed(LPCSTR section, LPCSTR defaultValue, LPSTR out, DWORD size) {
    if (out == nullptr || size == 0) return 0;
    std::string w;
    if (section != nullptr) {
        View def = CleanDefault(defaultValue);
        w.assign(def.data(), def.size() < size - 1 ? def.size() : size - 1);
    }
    return Deliver(w, w.size(), out);
}
