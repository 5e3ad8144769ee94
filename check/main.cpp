// tavrel-check: what Tavrel would do in a kit, on this machine or on a saved
// device list, without launching anything; and what in its model list is
// likely a mistake.
#include <cstdio>
#include <string>
#include <vector>

#include "CheckPlatform.h"
#include "DeviceListFile.h"
#include "DryRun.h"
#include "KitFiles.h"
#include "Lint.h"
#include "Options.h"
#include "Report.h"

namespace {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "tavrel-check: %s\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    CheckOptions options;
    std::string error;
    if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        return UsageError(error + " (" + UsageLine() + ")");
    }
    std::string kit;
    if (!KitDirectory(options.kitDir, kit)) {
        return UsageError("not a readable kit directory: " + options.kitDir);
    }

    CheckPlatform platform(HostPlatform(), kit + ProgramFileName());
    std::vector<DeviceListEntry> devices;
    if (!options.devicesFile.empty()) {
        std::string text;
        if (!ReadWholeFile(options.devicesFile, text)) {
            return UsageError("cannot read device list " + options.devicesFile);
        }
        if (!ParseDeviceList(text, devices, error)) {
            return UsageError(options.devicesFile + ", " + error);
        }
        platform.Replay(devices);
    }
    if (!options.saveDevicesFile.empty()) {
        if (!CaptureDevices(HostPlatform(), devices)) {
            return UsageError("the system gave no device list to save");
        }
        if (!WriteWholeFile(options.saveDevicesFile, FormatDeviceList(devices))) {
            return UsageError("cannot write device list " + options.saveDevicesFile);
        }
    }

    DryRun run = RunDry(platform, kit, options.params);
    run.replayed = !options.devicesFile.empty();
    std::string iniText;
    if (!ReadWholeFile(run.iniPath, iniText)) {
        return UsageError("cannot read " + run.iniPath);
    }
    const std::vector<LintWarning> warnings = LintKit(iniText, run);
    const std::string report = options.json ? JsonReport(run, warnings) : TextReport(run, warnings);
    std::fwrite(report.data(), 1, report.size(), stdout);
    return warnings.empty() ? 0 : 1;
}
