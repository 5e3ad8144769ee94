#include "Lint.h"

#include <algorithm>

#include "ProfileReader.h"

namespace {

constexpr std::size_t kLongestValue = 254;
const char kSection[] = "Model_List";

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
               return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
           });
}

// A key Tavrel asks for: 1 to 50 as "%d" writes them.
bool IsReadKey(const std::string& key) {
    for (int i = 1; i <= 50; ++i) {
        if (key == std::to_string(i)) return true;
    }
    return false;
}

// A key that looks like a number, as someone meant to write one.
bool LooksNumeric(const std::string& key) {
    std::size_t at = !key.empty() && (key[0] == '+' || key[0] == '-') ? 1 : 0;
    if (at >= key.size()) return false;
    for (; at < key.size(); ++at) {
        if (key[at] < '0' || key[at] > '9') return false;
    }
    return true;
}

}  // namespace

std::vector<LintWarning> LintKit(const std::string& iniText, const DryRun& run) {
    std::vector<LintWarning> warnings;
    const std::vector<ProfileEntry> lines = ParseProfile(iniText);

    // Only the first section of the name is read.
    int section = -1;
    for (const ProfileEntry& e : lines) {
        if (SameName(e.section, kSection)) {
            section = e.sectionIndex;
            break;
        }
    }
    // The line a key is read from: its first line in that section.
    auto lineOf = [&](const std::string& key) {
        for (const ProfileEntry& e : lines) {
            if (e.sectionIndex == section && SameName(e.key, key)) return e.line;
        }
        return 0;
    };

    int ignoredSection = -1;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ProfileEntry& e = lines[i];
        if (!SameName(e.section, kSection)) continue;
        if (e.sectionIndex != section) {
            if (e.sectionIndex != ignoredSection) {
                ignoredSection = e.sectionIndex;
                warnings.push_back({"second-section", e.key, e.line,
                                    "a further [Model_List] section: its keys are never read"});
            }
            continue;
        }
        if (!e.key.empty() && e.key[0] == ';') continue;
        if (IsReadKey(e.key)) {
            const int first = lineOf(e.key);
            if (first != e.line) {
                warnings.push_back({"duplicate-key", e.key, e.line,
                                    "duplicate key: the one on line " + std::to_string(first) +
                                        " is read, this one is ignored"});
            } else if (e.hasValue && e.value.size() > kLongestValue) {
                warnings.push_back({"cut-value", e.key, e.line,
                                    "value of " + std::to_string(e.value.size()) +
                                        " bytes: only the first 254 are read"});
            } else if (e.hasValue && e.value == "ERROR") {
                warnings.push_back({"error-value", e.key, e.line,
                                    "the value ERROR reads as a missing key: no entry"});
            }
        } else if (LooksNumeric(e.key)) {
            warnings.push_back({"unread-key", e.key, e.line,
                                "key is never read: only 1 to 50, without sign or leading zeros"});
        }
    }

    for (std::size_t i = 0; i < run.entries.size(); ++i) {
        const EntryView& entry = run.entries[i];
        const int line = lineOf(entry.key);
        if (entry.installer.empty()) {
            warnings.push_back(
                {"few-fields", entry.key, line, "fewer than three fields: no installer to launch"});
        } else if (!entry.installerExists) {
            warnings.push_back(
                {"missing-installer", entry.key, line, "installer not found: " + entry.installer});
        }
        if (entry.pattern.empty()) {
            warnings.push_back({"empty-pattern", entry.key, line,
                                "empty pattern: matches the first listed device and suppresses "
                                "the fallback"});
        } else {
            for (std::size_t j = 0; j < i; ++j) {
                if (run.entries[j].pattern == entry.pattern) {
                    warnings.push_back({"same-pattern", entry.key, line,
                                        "same pattern as key " + run.entries[j].key +
                                            ": both launch for one device"});
                    break;
                }
            }
        }
        if (entry.matchedDevice < 0) {
            warnings.push_back({"unmatched-pattern", entry.key, line,
                                "pattern " + entry.pattern + " matches no device"});
        }
    }
    std::stable_sort(warnings.begin(), warnings.end(),
                     [](const LintWarning& a, const LintWarning& b) { return a.line < b.line; });
    return warnings;
}
