#include "DryRun.h"

#include "EnumNimoTVTuner.h"
#include "KitFiles.h"

DryRun RunDry(CheckPlatform& platform, const std::string& kitDir, const std::string& parameters) {
    DryRun run;
    run.kitDir = kitDir;
    run.parameters = parameters;

    CEnumNimoTVTuner tuner(platform);
    tuner.Execute(CString(parameters));
    run.iniPath = tuner.IniPath().Str();
    run.launches = platform.launches;
    run.diagnostics = platform.debugRecords;
    const std::vector<RecordedRead> reads = platform.modelListReads;

    // The views as read, by the program's own reading and listing.
    CEnumNimoTVTuner reader(platform);
    CModelList asRead(10);
    reader.ReadModelList(asRead);
    run.deviceSetObtained = reader.EnumerateDevices() == 1;
    reader.Devices().ForEach([&](DeviceInfo* device) {
        if (device == nullptr) return;
        run.devices.push_back({device->strHardwareID.Str(), device->strFriendlyName.Str(),
                               device->strDriverKey.Str(), device->strDriverDesc.Str(),
                               device->strDriverVersion.Str(), device->strInstanceID.Str()});
    });

    // Each key read as something else than the missing-key default gave
    // one entry, in the same order.
    std::vector<const RecordedRead*> keyed;
    for (const RecordedRead& read : reads) {
        if (read.value != "ERROR") keyed.push_back(&read);
    }
    std::vector<ModelInfo*> runModels;
    tuner.Models().ForEach([&](ModelInfo* model) { runModels.push_back(model); });
    std::size_t index = 0;
    asRead.ForEach([&](ModelInfo* model) {
        EntryView entry;
        if (index < keyed.size()) {
            entry.key = keyed[index]->key;
            entry.value = keyed[index]->value;
        }
        entry.model = model->strModel.Str();
        entry.pattern = model->strHardwareID.Str();
        entry.installer = model->strInstaller.Str();
        entry.installerExists = !entry.installer.empty() && InstallerExists(entry.installer);
        const ModelInfo* ran = index < runModels.size() ? runModels[index] : nullptr;
        bool matched = false;
        tuner.Matched().ForEach([&](ModelInfo* m) { matched = matched || m == ran; });
        if (matched) {
            int at = 0;
            tuner.Devices().ForEach([&](DeviceInfo* device) {
                if (entry.matchedDevice < 0 && device != nullptr &&
                    device->strInstanceID == ran->strInstanceID &&
                    device->strHardwareID == ran->strHardwareID) {
                    entry.matchedDevice = at;
                }
                ++at;
            });
        }
        run.entries.push_back(std::move(entry));
        ++index;
    });
    asRead.DeleteAll();

    run.fallback = tuner.Matched().GetCount() == 0;
    if (!run.fallback) {
        run.fallbackReason = "an entry matched a device";
    } else if (run.entries.empty()) {
        run.fallbackReason = "no model entries: nothing to launch";
    } else if (!run.deviceSetObtained) {
        run.fallbackReason = "the system gave no device list";
    } else if (run.devices.empty()) {
        run.fallbackReason = "no devices present";
    } else {
        run.fallbackReason = "no pattern occurs in a device's first hardware ID";
    }
    return run;
}
