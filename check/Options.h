// The command line of tavrel-check.
#pragma once

#include <string>
#include <vector>

struct CheckOptions {
    std::string kitDir = ".";
    std::string params;           // handed to every launch, as Tavrel hands on its own tail
    std::string devicesFile;      // replay this list instead of the machine; empty: the machine
    std::string saveDevicesFile;  // write the machine's devices here; empty: do not
    bool json = false;
};

// Fills `options` from the arguments after the program name. On a usage
// error returns false and puts a one-line reason in `error`.
bool ParseOptions(const std::vector<std::string>& args, CheckOptions& options, std::string& error);

// One line that says how to call the tool.
const char* UsageLine();
