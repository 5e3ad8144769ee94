// The cost of a selection run over the fake platform: the matching of the
// model list against the present devices, the whole run, and the reading of
// a full model list.
//
// The matching is timed on its own with manual timing: the fake notes the
// moment the device set is destroyed, the last thing the inventory does, and
// the iteration's time runs from there to the end of the run. The inventory
// of the fake (copying N records into the program's list) is the program's
// own cost too, but not the matching's; BM_Execute has both.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "EnumNimoTVTuner.h"
#include "FakePlatform.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kModels = 50;

// A fake that remembers when the inventory closed its device set.
class TimedFake : public FakePlatform {
  public:
    Clock::time_point inventoryDone;

    BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set) override {
        BOOL ok = FakePlatform::SetupDiDestroyDeviceInfoList(set);
        inventoryDone = Clock::now();
        return ok;
    }

    // What a run recorded goes between iterations, so that no iteration
    // pays for the growth of the one before.
    void ForgetCalls() {
        launches.clear();
        sleeps.clear();
        registryOpens.clear();
        debugOutput.clear();
    }
};

std::string Hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof(text), "%04X", value & 0xFFFFu);
    return text;
}

// N devices, PCI functions and USB devices and interfaces in turn, with the
// IDs the inventory writes (in lower case here and there, as the program
// must upper-case them before it compares). A few drivers, with their keys.
void AddDevices(FakePlatform& fake, int count) {
    fake.devices.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        DeviceRecord d;
        const std::string n = Hex4(static_cast<unsigned>(i));
        switch (i % 3) {
            case 0:
                d.hardwareIds = {"PCI\\VEN_1D9A&DEV_" + n + "&SUBSYS_0001" + "3ec1&REV_01",
                                 "PCI\\VEN_1D9A&DEV_" + n};
                d.instanceId = "PCI\\VEN_1D9A&DEV_" + n + "&SUBSYS_00013EC1\\0000:01:00.0";
                d.driver = "testnet";
                break;
            case 1:
                d.hardwareIds = {"USB\\VID_3ec1&PID_" + n + "&REV_0100"};
                d.instanceId = "USB\\VID_3EC1&PID_" + n + "\\1-" + std::to_string(i);
                d.friendlyName = "Example Devices Test Stick";
                d.driver = "usb";
                break;
            default:
                d.hardwareIds = {"USB\\VID_3EC1&PID_" + n + "&REV_0100&MI_00"};
                d.instanceId = "USB\\VID_3EC1&PID_" + n + "&MI_00\\1-" + std::to_string(i) + ":1.0";
                break;
        }
        fake.devices.push_back(std::move(d));
    }
    const char* base = "SYSTEM\\CurrentControlSet\\Control\\class\\";
    fake.registry[std::string(base) + "testnet"] = {{"DriverDesc", "testnet"},
                                                    {"DriverVersion", "1.2"}};
    fake.registry[std::string(base) + "usb"] = {{"DriverDesc", "usb"}};
}

// A full model list whose patterns look like the devices' IDs but, unless
// `lastMatches`, match none of them: every entry then walks every device,
// the most a run can compare. With `lastMatches` entry 50 finds the tuner
// put at the end of the device list.
std::string ModelList(bool lastMatches) {
    std::string text = "[Model_List]\n";
    for (int i = 1; i <= kModels; ++i) {
        std::string pattern = "VEN_F00D&DEV_" + Hex4(0x7B00u + static_cast<unsigned>(i));
        if (lastMatches && i == kModels) pattern = "VEN_F00D&DEV_7A31";
        text += std::to_string(i) + "=Test Model " + std::to_string(i) + "," + pattern +
                ",Driver\\Setup" + std::to_string(i) + ".exe\n";
    }
    return text;
}

void SetUpKit(TimedFake& fake, int devices, bool lastMatches, unsigned codePage) {
    fake.codePage = CodePage(codePage);
    AddDevices(fake, devices);
    if (lastMatches) {
        DeviceRecord tuner;
        tuner.hardwareIds = {"PCI\\VEN_F00D&DEV_7A31&SUBSYS_00013EC1&REV_0A"};
        tuner.instanceId = "PCI\\VEN_F00D&DEV_7A31&SUBSYS_00013EC1\\0000:02:00.0";
        tuner.driver = "tvcap";
        fake.devices.push_back(std::move(tuner));
    }
    fake.AddFile("C:\\Kit\\Models.ini", ModelList(lastMatches));
}

// Arguments: devices, whether the last entry matches, code page.
void BM_Matching(benchmark::State& state) {
    TimedFake fake;
    SetUpKit(fake, static_cast<int>(state.range(0)), state.range(1) != 0,
             static_cast<unsigned>(state.range(2)));
    CEnumNimoTVTuner tuner(fake);
    for (auto _ : state) {
        fake.ForgetCalls();
        tuner.Execute("/S");
        const auto end = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - fake.inventoryDone).count());
    }
    if (fake.launches.size() != (state.range(1) != 0 ? 1u : static_cast<std::size_t>(kModels))) {
        state.SkipWithError("the run launched other installers than expected");
    }
    state.counters["comparisons"] = static_cast<double>(kModels) * state.range(0);
}

// The whole run over the fake: model list, inventory and matching.
void BM_Execute(benchmark::State& state) {
    TimedFake fake;
    SetUpKit(fake, static_cast<int>(state.range(0)), false, CodePage::kWestern);
    CEnumNimoTVTuner tuner(fake);
    for (auto _ : state) {
        state.PauseTiming();
        fake.ForgetCalls();
        state.ResumeTiming();
        tuner.Execute("/S");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ReadModelList(benchmark::State& state) {
    TimedFake fake;
    fake.AddFile("C:\\Kit\\Models.ini", ModelList(false));
    CEnumNimoTVTuner tuner(fake);
    for (auto _ : state) {
        CModelList list(10);
        tuner.ReadModelList(list);
        if (list.GetCount() != kModels) state.SkipWithError("the model list lost entries");
        list.DeleteAll();
    }
}

void MatchingArgs(benchmark::internal::Benchmark* b) {
    for (int cp : {static_cast<int>(CodePage::kWestern), static_cast<int>(CodePage::kShiftJis)}) {
        for (int n : {10, 1000, 100000}) {
            b->Args({n, 0, cp});
            b->Args({n, 1, cp});
        }
    }
    b->ArgNames({"devices", "lastMatches", "codePage"});
}

}  // namespace

BENCHMARK(BM_Matching)->Apply(MatchingArgs)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Execute)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(100000)
    ->ArgName("devices")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadModelList)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
