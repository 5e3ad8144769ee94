// What in a kit's model list is likely a mistake, judged from the file's
// key lines (the profile reader's own parse) and from what the run did.
#pragma once

#include <string>
#include <vector>

#include "DryRun.h"

struct LintWarning {
    std::string code;  // short and stable, for scripts
    std::string key;   // the key concerned, empty when none
    int line;          // 1-based line of Models.ini, 0 when the file has none for it
    std::string message;
};

// `iniText`: the bytes of the run's Models.ini.
std::vector<LintWarning> LintKit(const std::string& iniText, const DryRun& run);
