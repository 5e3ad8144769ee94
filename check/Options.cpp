#include "Options.h"

const char* UsageLine() {
    return "usage: tavrel-check [KITDIR] [--params TEXT] [--devices FILE] [--save-devices FILE] "
           "[--json]";
}

bool ParseOptions(const std::vector<std::string>& args, CheckOptions& options, std::string& error) {
    bool haveKit = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (arg == "--params") {
            if (!value(options.params)) return false;
        } else if (arg == "--devices") {
            if (!value(options.devicesFile)) return false;
            if (options.devicesFile.empty()) {
                error = "--devices needs a file name";
                return false;
            }
        } else if (arg == "--save-devices") {
            if (!value(options.saveDevicesFile)) return false;
            if (options.saveDevicesFile.empty()) {
                error = "--save-devices needs a file name";
                return false;
            }
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return false;
        } else {
            if (haveKit) {
                error = "more than one kit directory: " + arg;
                return false;
            }
            options.kitDir = arg;
            haveKit = true;
        }
    }
    if (!options.devicesFile.empty() && !options.saveDevicesFile.empty()) {
        // A saved list describes a machine; copying a replayed one is cp's job.
        error = "--devices and --save-devices exclude each other";
        return false;
    }
    return true;
}
