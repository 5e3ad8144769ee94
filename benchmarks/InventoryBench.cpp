// The cost of the Linux inventory: libudev's listing of the PCI and USB
// devices, and the program's EnumerateDevices over it (properties, driver
// keys, the registry view). Meant to run under umockdev-run with a tree from
// make-tree.py; on the bare machine it measures the machine's own devices.
#include <benchmark/benchmark.h>

#include "EnumNimoTVTuner.h"
#include "linux/LinuxPlatform.h"

namespace {

// The host platform without the inventory's fixed pause, which is the
// program's on purpose and would hide everything else.
class NoPausePlatform : public LinuxPlatform {
  public:
    void Sleep(DWORD) override {}
};

void BM_ListDevices(benchmark::State& state) {
    NoPausePlatform platform;
    std::size_t devices = 0;
    for (auto _ : state) {
        HDEVINFO set = platform.SetupDiGetClassDevsExA(
            nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES, nullptr, nullptr, nullptr);
        if (set == INVALID_HANDLE_VALUE) {
            state.SkipWithError("no device information set");
            break;
        }
        SP_DEVINFO_DATA data{};
        data.cbSize = sizeof(data);
        DWORD index = 0;
        while (platform.SetupDiEnumDeviceInfo(set, index, &data)) ++index;
        devices = index;
        platform.SetupDiDestroyDeviceInfoList(set);
    }
    state.counters["devices"] = static_cast<double>(devices);
    state.SetItemsProcessed(state.iterations() * static_cast<long>(devices));
}

void BM_EnumerateDevices(benchmark::State& state) {
    NoPausePlatform platform;
    CEnumNimoTVTuner tuner(platform);
    int result = 0;
    for (auto _ : state) result = tuner.EnumerateDevices();
    if (result != 1) state.SkipWithError("no device information set");
    const int devices = tuner.Devices().GetCount();
    state.counters["devices"] = devices;
    state.SetItemsProcessed(state.iterations() * devices);
}

}  // namespace

BENCHMARK(BM_ListDevices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnumerateDevices)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
