// A saved device list: the present devices of a machine as Tavrel's
// inventory reads them, one device per line, so that a machine can be
// captured in one place and replayed in another.
//
// Format (text; bytes of 0x80 and above are written as they are, in the
// code page of the machine that saved them):
//
//   # comment lines and blank lines are skipped
//   INSTANCE-ID<TAB>DRIVER-KEY<TAB>DRIVER-DESC<TAB>DRIVER-VERSION<TAB>FRIENDLY-NAME<TAB>HWID...
//
// one field per tab, the hardware IDs last, as many as the device has (none:
// the device has no readable hardware ID and Tavrel skips it). In a field a
// backslash, tab, line feed and carriage return are written \\ \t \n \r,
// other bytes below 0x20 and 0x7F as \xHH; a field that is only \- is absent
// (no friendly name, no driver, no such registry value), which differs from
// an empty one. A driver key names the values below
// SYSTEM\CurrentControlSet\Control\Class.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "DeviceSet.h"
#include "Platform.h"

struct DeviceListEntry {
    DeviceRecord device;
    std::optional<std::string> driverDesc;     // only read when device.driver is set
    std::optional<std::string> driverVersion;  // likewise
};

// Field escaping, exposed for the tests.
std::string EscapeField(const std::string& text);
// False for a malformed escape or an escaped NUL, which no device text holds.
bool UnescapeField(const std::string& field, std::string& text);

std::string FormatDeviceList(const std::vector<DeviceListEntry>& devices);
// False on a malformed line, with "line N: reason" in `error`.
bool ParseDeviceList(const std::string& text, std::vector<DeviceListEntry>& devices,
                     std::string& error);

// The present devices of `platform`, read with the SetupAPI and registry
// calls Tavrel makes, every hardware ID kept. False when the system gives
// no device information set.
bool CaptureDevices(Platform& platform, std::vector<DeviceListEntry>& devices);
