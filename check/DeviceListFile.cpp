#include "DeviceListFile.h"

#include <cstdio>
#include <cstring>

namespace {

const char kAbsent[] = "\\-";
const char kHeader[] =
    "# tavrel-check device list: instance ID, driver key, driver description, driver version,\n"
    "# friendly name, hardware IDs; tab-separated, \\\\ \\t \\n \\r \\xHH escaped, \\- absent\n";
const char kClassKey[] = "SYSTEM\\CurrentControlSet\\Control\\class\\";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string OptionalField(const std::optional<std::string>& text) {
    return text ? EscapeField(*text) : std::string(kAbsent);
}

bool ReadOptional(const std::string& field, std::optional<std::string>& text) {
    if (field == kAbsent) {
        text.reset();
        return true;
    }
    std::string value;
    if (!UnescapeField(field, value)) return false;
    text = std::move(value);
    return true;
}

// A SetupAPI text read into a buffer that grows as the system asks.
template <class Fetch>
bool ReadGrowing(Platform& platform, std::vector<BYTE>& buffer, DWORD& used, Fetch fetch) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD required = 0;
        if (fetch(buffer.data(), static_cast<DWORD>(buffer.size()), &required)) {
            used = required != 0 && required <= buffer.size() ? required
                                                              : static_cast<DWORD>(buffer.size());
            return true;
        }
        if (platform.GetLastError() != ERROR_INSUFFICIENT_BUFFER || required <= buffer.size()) {
            return false;
        }
        buffer.resize(required);
    }
    return false;
}

std::string TextOf(const std::vector<BYTE>& buffer, DWORD used) {
    const char* text = reinterpret_cast<const char*>(buffer.data());
    return std::string(text, strnlen(text, used));
}

std::optional<std::string> ReadRegistryValue(Platform& platform, HKEY key, const char* name) {
    std::vector<BYTE> data(512);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        const LSTATUS status =
            platform.RegQueryValueExA(key, name, nullptr, &type, data.data(), &size);
        if (status == static_cast<LSTATUS>(ERROR_SUCCESS)) {
            return std::string(reinterpret_cast<const char*>(data.data()),
                               strnlen(reinterpret_cast<const char*>(data.data()),
                                       size <= data.size() ? size : data.size()));
        }
        if (status != static_cast<LSTATUS>(ERROR_MORE_DATA)) return std::nullopt;
        data.resize(size > data.size() ? size : data.size() * 2);
    }
    return std::nullopt;
}

}  // namespace

std::string EscapeField(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

bool UnescapeField(const std::string& field, std::string& text) {
    text.clear();
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            text += field[i];
            continue;
        }
        if (++i >= field.size()) return false;
        switch (field[i]) {
            case '\\':
                text += '\\';
                break;
            case 't':
                text += '\t';
                break;
            case 'n':
                text += '\n';
                break;
            case 'r':
                text += '\r';
                break;
            case 'x': {
                if (i + 2 >= field.size()) return false;
                const int high = HexDigit(field[i + 1]);
                const int low = HexDigit(field[i + 2]);
                if (high < 0 || low < 0 || (high == 0 && low == 0)) return false;
                text += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

std::string FormatDeviceList(const std::vector<DeviceListEntry>& devices) {
    std::string out = kHeader;
    for (const DeviceListEntry& entry : devices) {
        const DeviceRecord& device = entry.device;
        std::string instance = EscapeField(device.instanceId);
        // A line that began with '#' would read back as a comment.
        if (!instance.empty() && instance[0] == '#') instance.replace(0, 1, "\\x23");
        out += instance;
        out += '\t' + OptionalField(device.driver);
        out += '\t' + OptionalField(entry.driverDesc);
        out += '\t' + OptionalField(entry.driverVersion);
        out += '\t' + OptionalField(device.friendlyName);
        for (const std::string& id : device.hardwareIds) out += '\t' + EscapeField(id);
        out += '\n';
    }
    return out;
}

bool ParseDeviceList(const std::string& text, std::vector<DeviceListEntry>& devices,
                     std::string& error) {
    devices.clear();
    std::size_t start = 0;
    for (int lineNumber = 1; start < text.size(); ++lineNumber) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        // Lists that went through a Windows editor keep working.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;

        std::vector<std::string> fields;
        for (std::size_t from = 0;;) {
            const std::size_t tab = line.find('\t', from);
            fields.push_back(line.substr(from, tab == std::string::npos ? tab : tab - from));
            if (tab == std::string::npos) break;
            from = tab + 1;
        }
        auto fail = [&](const char* reason) {
            error = "line " + std::to_string(lineNumber) + ": " + reason;
            return false;
        };
        if (fields.size() < 5) return fail("fewer than five fields");
        DeviceListEntry entry;
        if (!UnescapeField(fields[0], entry.device.instanceId)) return fail("bad escape");
        if (!ReadOptional(fields[1], entry.device.driver) ||
            !ReadOptional(fields[2], entry.driverDesc) ||
            !ReadOptional(fields[3], entry.driverVersion) ||
            !ReadOptional(fields[4], entry.device.friendlyName)) {
            return fail("bad escape");
        }
        for (std::size_t i = 5; i < fields.size(); ++i) {
            std::string id;
            if (!UnescapeField(fields[i], id)) return fail("bad escape");
            // An empty ID would end the hardware-ID list where it stands.
            if (id.empty()) return fail("empty hardware ID");
            entry.device.hardwareIds.push_back(std::move(id));
        }
        devices.push_back(std::move(entry));
    }
    return true;
}

bool CaptureDevices(Platform& platform, std::vector<DeviceListEntry>& devices) {
    devices.clear();
    HDEVINFO set = platform.SetupDiGetClassDevsExA(
        nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES, nullptr, nullptr, nullptr);
    if (set == INVALID_HANDLE_VALUE) return false;
    std::vector<BYTE> buffer(4096);
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof(data);
    auto property = [&](DWORD which, DWORD& used) {
        return ReadGrowing(platform, buffer, used, [&](BYTE* out, DWORD size, DWORD* needed) {
            return platform.SetupDiGetDeviceRegistryPropertyA(set, &data, which, nullptr, out, size,
                                                              needed);
        });
    };
    for (DWORD index = 0; platform.SetupDiEnumDeviceInfo(set, index, &data); ++index) {
        DeviceListEntry entry;
        DWORD used = 0;
        if (property(SPDRP_HARDWAREID, used)) {
            const char* ids = reinterpret_cast<const char*>(buffer.data());
            for (std::size_t at = 0; at < used;) {
                const std::size_t length = strnlen(ids + at, used - at);
                if (length == 0) break;
                entry.device.hardwareIds.emplace_back(ids + at, length);
                at += length + 1;
            }
        }
        if (property(SPDRP_FRIENDLYNAME, used)) entry.device.friendlyName = TextOf(buffer, used);
        if (property(SPDRP_DRIVER, used)) entry.device.driver = TextOf(buffer, used);
        if (ReadGrowing(platform, buffer, used, [&](BYTE* out, DWORD size, DWORD* needed) {
                return platform.SetupDiGetDeviceInstanceIdA(set, &data, reinterpret_cast<PSTR>(out),
                                                            size, needed);
            })) {
            entry.device.instanceId = TextOf(buffer, used);
        }
        if (entry.device.driver) {
            HKEY key = nullptr;
            const std::string path = kClassKey + *entry.device.driver;
            if (platform.RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE,
                                       &key) == static_cast<LSTATUS>(ERROR_SUCCESS)) {
                entry.driverDesc = ReadRegistryValue(platform, key, "DriverDesc");
                entry.driverVersion = ReadRegistryValue(platform, key, "DriverVersion");
                platform.RegCloseKey(key);
            }
        }
        devices.push_back(std::move(entry));
    }
    platform.SetupDiDestroyDeviceInfoList(set);
    return true;
}
