#include "PathSplit.h"

SplitPathParts SplitPath(std::string_view path, const CodePage& cp) {
    SplitPathParts parts;
    std::size_t start = 0;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive.assign(path.substr(0, 2));
        start = 2;
    }
    std::size_t fileStart = start;  // after the last separator
    std::size_t lastDot = std::string_view::npos;
    for (std::size_t i = start; i < path.size();) {
        const char c = path[i];
        const std::size_t len = cp.CharLength(path.data() + i, path.size() - i);
        if (len == 1) {
            if (c == '\\' || c == '/') {
                fileStart = i + 1;
            } else if (c == '.') {
                lastDot = i;
            }
        }
        i += len;
    }
    parts.directory.assign(path.substr(start, fileStart - start));
    if (lastDot != std::string_view::npos && lastDot >= fileStart) {
        parts.fileName.assign(path.substr(fileStart, lastDot - fileStart));
        parts.extension.assign(path.substr(lastDot));
    } else {
        parts.fileName.assign(path.substr(fileStart));
    }
    return parts;
}
