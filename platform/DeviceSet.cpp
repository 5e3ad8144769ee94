#include "DeviceSet.h"

#include <cstring>
#include <mutex>
#include <set>

namespace {

struct DeviceSet {
    std::vector<DeviceRecord> devices;
};

struct RegistryKey {
    memsetup::RegistryValues values;
};

// Handles are checked against the live ones before they are used, so a
// stale or foreign handle gives the error Windows gives instead of touching
// freed memory. Sets and keys may be used from any thread.
template <class T>
class HandleTable {
  public:
    T* Add(T* object) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_live.insert(object);
        return object;
    }
    bool Contains(const void* handle) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_live.count(static_cast<const T*>(handle)) != 0;
    }
    // Takes the object out of the table; null when it was not there.
    T* Remove(const void* handle) {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_live.find(static_cast<const T*>(handle));
        if (it == m_live.end()) return nullptr;
        T* object = const_cast<T*>(*it);
        m_live.erase(it);
        return object;
    }

  private:
    std::mutex m_mutex;
    std::set<const T*> m_live;
};

HandleTable<DeviceSet>& Sets() {
    static HandleTable<DeviceSet> table;
    return table;
}

HandleTable<RegistryKey>& Keys() {
    static HandleTable<RegistryKey> table;
    return table;
}

DeviceSet* SetOf(HDEVINFO handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
    return Sets().Contains(handle) ? static_cast<DeviceSet*>(handle) : nullptr;
}

bool EqualNoCase(const std::string& a, const char* b) {
    const std::size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

// The device that `data` names in `set`, after the checks SetupAPI makes;
// null with *lastError set when one fails.
const DeviceRecord* DeviceOf(HDEVINFO handle, PSP_DEVINFO_DATA data, DWORD* lastError) {
    DeviceSet* set = SetOf(handle);
    if (set == nullptr) {
        *lastError = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    if (data == nullptr) {
        *lastError = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    if (data->cbSize != sizeof(SP_DEVINFO_DATA)) {
        *lastError = ERROR_INVALID_USER_BUFFER;
        return nullptr;
    }
    // Reserved holds the index plus one, so a zeroed structure names no device.
    const ULONG_PTR slot = data->Reserved;
    if (slot == 0 || slot > set->devices.size()) {
        *lastError = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    return &set->devices[slot - 1];
}

// Copies `value` (`size` bytes) out as SetupAPI does: the required size is
// stored whether or not it fits.
BOOL CopyOut(const char* value, DWORD size, PBYTE buffer, DWORD bufferSize, PDWORD requiredSize,
             DWORD* lastError) {
    if (requiredSize != nullptr) *requiredSize = size;
    if (buffer == nullptr && bufferSize != 0) {
        *lastError = ERROR_INVALID_USER_BUFFER;
        return FALSE;
    }
    if (bufferSize < size) {
        *lastError = ERROR_INSUFFICIENT_BUFFER;
        return FALSE;
    }
    std::memcpy(buffer, value, size);
    return TRUE;
}

}  // namespace

namespace memsetup {

HDEVINFO CreateDeviceSet(std::vector<DeviceRecord> devices) {
    auto* set = new DeviceSet{std::move(devices)};
    return Sets().Add(set);
}

const std::vector<DeviceRecord>* DevicesOf(HDEVINFO handle) {
    DeviceSet* set = SetOf(handle);
    return set != nullptr ? &set->devices : nullptr;
}

BOOL EnumDeviceInfo(HDEVINFO handle, DWORD index, PSP_DEVINFO_DATA data, DWORD* lastError) {
    DeviceSet* set = SetOf(handle);
    if (set == nullptr) {
        *lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (data == nullptr) {
        *lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (data->cbSize != sizeof(SP_DEVINFO_DATA)) {
        *lastError = ERROR_INVALID_USER_BUFFER;
        return FALSE;
    }
    if (index >= set->devices.size()) {
        *lastError = ERROR_NO_MORE_ITEMS;
        return FALSE;
    }
    std::memset(&data->ClassGuid, 0, sizeof(data->ClassGuid));
    data->DevInst = index + 1;
    data->Reserved = static_cast<ULONG_PTR>(index) + 1;
    return TRUE;
}

BOOL GetDeviceRegistryProperty(HDEVINFO set, PSP_DEVINFO_DATA data, DWORD property, PDWORD regType,
                               PBYTE buffer, DWORD bufferSize, PDWORD requiredSize,
                               DWORD* lastError) {
    const DeviceRecord* device = DeviceOf(set, data, lastError);
    if (device == nullptr) return FALSE;

    std::string value;
    DWORD type = REG_SZ;
    if (property == SPDRP_HARDWAREID) {
        if (device->hardwareIds.empty()) {
            *lastError = ERROR_INVALID_DATA;
            return FALSE;
        }
        for (const std::string& id : device->hardwareIds) {
            value += id;
            value += '\0';
        }
        type = REG_MULTI_SZ;
    } else if (property == SPDRP_FRIENDLYNAME && device->friendlyName) {
        value = *device->friendlyName;
    } else if (property == SPDRP_DRIVER && device->driver) {
        value = *device->driver;
    } else {
        *lastError = ERROR_INVALID_DATA;
        return FALSE;
    }
    value += '\0';
    if (regType != nullptr) *regType = type;
    return CopyOut(value.data(), static_cast<DWORD>(value.size()), buffer, bufferSize, requiredSize,
                   lastError);
}

BOOL GetDeviceInstanceId(HDEVINFO set, PSP_DEVINFO_DATA data, PSTR buffer, DWORD bufferSize,
                         PDWORD requiredSize, DWORD* lastError) {
    const DeviceRecord* device = DeviceOf(set, data, lastError);
    if (device == nullptr) return FALSE;
    return CopyOut(device->instanceId.c_str(), static_cast<DWORD>(device->instanceId.size() + 1),
                   reinterpret_cast<PBYTE>(buffer), bufferSize, requiredSize, lastError);
}

BOOL DestroyDeviceSet(HDEVINFO handle, DWORD* lastError) {
    DeviceSet* set = handle == INVALID_HANDLE_VALUE ? nullptr : Sets().Remove(handle);
    if (set == nullptr) {
        *lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    delete set;
    return TRUE;
}

HKEY OpenKey(RegistryValues values) {
    auto* key = new RegistryKey{std::move(values)};
    return reinterpret_cast<HKEY>(Keys().Add(key));
}

LSTATUS QueryValue(HKEY handle, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                   LPDWORD dataSize) {
    if (handle == nullptr || !Keys().Contains(handle)) return ERROR_INVALID_HANDLE;
    if (reserved != nullptr || (data != nullptr && dataSize == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    const auto* key = reinterpret_cast<const RegistryKey*>(handle);
    const char* wanted = name != nullptr ? name : "";
    for (const auto& [valueName, text] : key->values) {
        if (!EqualNoCase(valueName, wanted)) continue;
        const DWORD size = static_cast<DWORD>(text.size() + 1);
        if (type != nullptr) *type = REG_SZ;
        if (data == nullptr) {
            if (dataSize != nullptr) *dataSize = size;
            return ERROR_SUCCESS;
        }
        if (*dataSize < size) {
            *dataSize = size;
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, text.c_str(), size);
        *dataSize = size;
        return ERROR_SUCCESS;
    }
    return ERROR_FILE_NOT_FOUND;
}

LSTATUS CloseKey(HKEY handle) {
    RegistryKey* key = handle == nullptr ? nullptr : Keys().Remove(handle);
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    delete key;
    return ERROR_SUCCESS;
}

}  // namespace memsetup
