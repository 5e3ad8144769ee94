// One selection run of Tavrel's own driver-selection object over the dry-run
// platform, and what it did, in plain types for the lint and the report.
#pragma once

#include <string>
#include <vector>

#include "CheckPlatform.h"

struct DeviceView {
    std::string hardwareId;  // as listed, before the run upper-cases it
    std::string friendlyName;
    std::string driverKey;
    std::string driverDesc;
    std::string driverVersion;
    std::string instanceId;
};

struct EntryView {
    std::string key;  // the Model_List key it was read from
    std::string value;
    std::string model;    // as read, upper-cased
    std::string pattern;  // as read, upper-cased
    std::string installer;
    bool installerExists = false;
    int matchedDevice = -1;  // index into the devices, -1 for none
};

struct DryRun {
    std::string kitDir;
    std::string iniPath;
    bool replayed = false;
    std::string parameters;
    bool deviceSetObtained = true;
    std::vector<DeviceView> devices;
    std::vector<EntryView> entries;
    std::vector<RecordedLaunch> launches;
    bool fallback = false;
    std::string fallbackReason;
    std::vector<std::string> diagnostics;
};

// Runs Execute(parameters) over `platform`, then reads the model list and the
// inventory once more with the same object's operations, for the views
// as read (the run rewrites matched entries and upper-cases IDs).
DryRun RunDry(CheckPlatform& platform, const std::string& kitDir, const std::string& parameters);
