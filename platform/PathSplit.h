// A path split into drive, directory, file name and extension by the C
// runtime's rules, aware of the double-byte characters of a code page.
#pragma once

#include <string>
#include <string_view>

#include "CodePage.h"

struct SplitPathParts {
    std::string drive;      // "C:" or empty
    std::string directory;  // up to and including the last \ or /, or empty
    std::string fileName;   // without extension
    std::string extension;  // from the last dot of the file part, or empty
};

// Splits `path` whole: no part is cut, and a trail byte never counts as a
// separator or a dot.
SplitPathParts SplitPath(std::string_view path, const CodePage& cp);
