// Lists the present devices as the program's inventory sees them on the
// real Windows platform, one line per device:
//   hardware ID|friendly name|driver key|description|version|instance ID
#include <cstdio>

#include "EnumNimoTVTuner.h"

int main() {
    CEnumNimoTVTuner tuner(HostPlatform());
    std::printf("result %d\n", tuner.EnumerateDevices());
    tuner.Devices().ForEach([](DeviceInfo* d) {
        std::printf("%s|%s|%s|%s|%s|%s\n", static_cast<const char*>(d->strHardwareID),
                    static_cast<const char*>(d->strFriendlyName),
                    static_cast<const char*>(d->strDriverKey),
                    static_cast<const char*>(d->strDriverDesc),
                    static_cast<const char*>(d->strDriverVersion),
                    static_cast<const char*>(d->strInstanceID));
    });
    return 0;
}
