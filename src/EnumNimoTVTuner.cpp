#include "EnumNimoTVTuner.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "Tokenizer.h"

namespace {

constexpr int kModelKeys = 50;
constexpr DWORD kIniValueBuffer = 255;
constexpr std::size_t kPropertyBuffer = 8192;
constexpr DWORD kRegistryValueBuffer = 260;
constexpr int kPropertyReadAttempts = 4;
constexpr DWORD kEnumerationPause = 1000;
const char kClassKey[] = "SYSTEM\\CurrentControlSet\\Control\\class\\";

// Reads a text that the system copies into a caller's buffer, with
// `fetch(buffer, size, &required)`. The buffer grows when the system asks
// for more, so no value is cut or lost for its size. The text ends at the
// first NUL, or at the end of the buffer.
template <class Fetch>
BOOL ReadSystemText(Platform& platform, std::vector<char>& buffer, CString& text, Fetch fetch) {
    for (int attempt = 0; attempt < kPropertyReadAttempts; ++attempt) {
        DWORD required = 0;
        buffer[0] = '\0';
        if (fetch(buffer.data(), static_cast<DWORD>(buffer.size()), &required)) {
            text = CString(buffer.data(), static_cast<int>(strnlen(buffer.data(), buffer.size())));
            return TRUE;
        }
        if (platform.GetLastError() != ERROR_INSUFFICIENT_BUFFER || required <= buffer.size()) {
            return FALSE;
        }
        buffer.resize(required);
    }
    return FALSE;
}

// The pairs of adjacent bytes of a text, each hashed to one of 64 bits. A
// pattern whose pairs are not all among a text's cannot occur in it, so one
// AND turns away nearly every entry that a device does not match, before
// the search proper; what passes is still searched, so the outcome is the
// search's alone.
std::uint64_t BytePairs(const char* text, std::size_t n) {
    std::uint64_t pairs = 0;
    for (std::size_t i = 1; i < n; ++i) {
        const std::uint32_t pair =
            static_cast<std::uint32_t>(static_cast<unsigned char>(text[i - 1])) << 8 |
            static_cast<unsigned char>(text[i]);
        pairs |= std::uint64_t{1} << ((pair * 2654435761u) >> 26);
    }
    return pairs;
}

}  // namespace

CEnumNimoTVTuner::CEnumNimoTVTuner(Platform& platform)
    : m_Path(platform), m_DeviceList(10), m_MatchedList(10), m_RunModels(10), m_platform(platform) {}

CEnumNimoTVTuner::~CEnumNimoTVTuner() {
    m_MatchedList.RemoveAll();
    m_RunModels.DeleteAll();
    m_DeviceList.DeleteAll();
}

void CEnumNimoTVTuner::ReportError(const char* message, unsigned line, const char* file) {
    const DWORD code = m_platform.GetLastError();
    CString record;
    record.Format("Error: %s\nLine:  %u\nFile:  %s\nCode:   %u", message, line, file,
                  static_cast<unsigned>(code));
    m_platform.OutputDebugStringA(record);
}

void CEnumNimoTVTuner::ReadModelList(CModelList& list) {
    const CString prefix = m_Path.GetDrive() + m_Path.GetDir();
    m_strIniPath = prefix + "Models.ini";
    const CodePage& cp = m_platform.AnsiCodePage();
    for (int i = 1; i <= kModelKeys; ++i) {
        CString key;
        key.Format("%d", i);
        char value[kIniValueBuffer];
        m_platform.GetPrivateProfileStringA("Model_List", key, "ERROR", value, kIniValueBuffer,
                                            m_strIniPath);
        value[kIniValueBuffer - 1] = '\0';
        const CString text(value);
        if (text == "ERROR") {
            ReportError("Read ini fail", __LINE__, __FILE__);
            continue;
        }
        auto* model = new ModelInfo;
        CTokenizer tokenizer(m_platform, text);
        tokenizer.SetDelimiter(",");
        for (int n = 0; tokenizer.HasMoreTokens(); ++n) {
            const CString token = tokenizer.NextToken();
            if (n == 0) {
                model->strModel = token;
                model->strModel.MakeUpper(cp);
            } else if (n == 1) {
                model->strHardwareID = token;
                model->strHardwareID.MakeUpper(cp);
            } else if (n == 2) {
                model->strInstaller = prefix + token;
            }
        }
        list.AddTail(model);
    }
}

BOOL CEnumNimoTVTuner::Reenumerate() {
    DEVINST root = 0;
    if (m_platform.CM_Locate_DevNodeA(&root, nullptr, CM_LOCATE_DEVNODE_NORMAL) != CR_SUCCESS) {
        ReportError("Fail to Locate DeviceNode", __LINE__, __FILE__);
        // Without a node there is nothing to re-enumerate.
        return TRUE;
    }
    if (m_platform.CM_Reenumerate_DevNode(root, CM_REENUMERATE_NORMAL) != CR_SUCCESS) {
        ReportError("Fail to Reenumerate DeviceNode", __LINE__, __FILE__);
    }
    return TRUE;
}

void CEnumNimoTVTuner::ReadDriverValue(const CString& keyPath, const char* name, CString& text) {
    HKEY key = nullptr;
    if (m_platform.RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    // One byte more than offered, so the text is terminated whatever is stored.
    char value[kRegistryValueBuffer] = {};
    DWORD size = kRegistryValueBuffer - 1;
    if (m_platform.RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                                    &size) == ERROR_SUCCESS) {
        text = value;
    }
    m_platform.RegCloseKey(key);
}

int CEnumNimoTVTuner::EnumerateDevices() {
    m_DeviceList.DeleteAll();
    m_platform.Sleep(kEnumerationPause);
    HDEVINFO set = m_platform.SetupDiGetClassDevsExA(
        nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES, nullptr, nullptr, nullptr);
    if (set == INVALID_HANDLE_VALUE) return -1;

    std::vector<char> buffer(kPropertyBuffer);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    auto property = [&](DWORD which, CString& text) {
        return ReadSystemText(m_platform, buffer, text, [&](char* out, DWORD size, DWORD* needed) {
            return m_platform.SetupDiGetDeviceRegistryPropertyA(
                set, &device, which, nullptr, reinterpret_cast<BYTE*>(out), size, needed);
        });
    };
    for (DWORD index = 0; m_platform.SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        CString hardwareId;
        if (!property(SPDRP_HARDWAREID, hardwareId)) continue;
        auto* info = new DeviceInfo;
        info->strHardwareID = hardwareId;
        property(SPDRP_FRIENDLYNAME, info->strFriendlyName);
        if (property(SPDRP_DRIVER, info->strDriverKey)) {
            const CString keyPath = kClassKey + info->strDriverKey;
            ReadDriverValue(keyPath, "DriverDesc", info->strDriverDesc);
            ReadDriverValue(keyPath, "DriverVersion", info->strDriverVersion);
        }
        ReadSystemText(m_platform, buffer, info->strInstanceID,
                       [&](char* out, DWORD size, DWORD* needed) {
                           return m_platform.SetupDiGetDeviceInstanceIdA(set, &device, out, size,
                                                                         needed);
                       });
        m_DeviceList.AddTail(info);
    }
    m_platform.SetupDiDestroyDeviceInfoList(set);
    return 1;
}

void CEnumNimoTVTuner::Launch(const CString& installer, const CString& parameters) {
    m_platform.ShellExecuteA(nullptr, "open", installer, parameters, nullptr, SW_HIDE);
}

BOOL CEnumNimoTVTuner::Execute(CString parameters) {
    Reenumerate();
    // The previous run's entries go; the matched list must not outlive them.
    m_MatchedList.RemoveAll();
    m_RunModels.DeleteAll();
    ReadModelList(m_RunModels);
    EnumerateDevices();

    const CodePage& cp = m_platform.AnsiCodePage();
    // Every entry takes the first device, in list order, whose ID holds its
    // pattern. The devices are walked once for all entries rather than once
    // per entry: with thousands of devices a walk per entry costs far more
    // in memory traffic than the comparisons. Each device is upper-cased
    // when the walk reaches it, and the walk ends once every entry has its
    // device, so the devices upper-cased are those a walk per entry would
    // have reached. What a match does then follows in entry order.
    std::vector<ModelInfo*> models;
    m_RunModels.ForEach([&](ModelInfo* model) {
        if (model != nullptr) models.push_back(model);
    });
    std::vector<DeviceInfo*> found(models.size(), nullptr);
    // A pattern is searched for as the text up to its first NUL.
    std::vector<std::uint64_t> patternPairs;
    patternPairs.reserve(models.size());
    for (const ModelInfo* model : models) {
        const char* pattern = model->strHardwareID.GetString();
        patternPairs.push_back(BytePairs(pattern, std::strlen(pattern)));
    }
    std::size_t looking = models.size();
    for (POSITION pos = m_DeviceList.GetHeadPosition(); pos != nullptr && looking > 0;) {
        DeviceInfo* device = m_DeviceList.GetNext(pos);
        if (device == nullptr) continue;
        device->strHardwareID.MakeUpper(cp);
        const std::string& id = device->strHardwareID.Str();
        const std::uint64_t idPairs = BytePairs(id.data(), id.size());
        for (std::size_t i = 0; i < models.size(); ++i) {
            if (found[i] != nullptr || (patternPairs[i] & ~idPairs) != 0 ||
                device->strHardwareID.Find(models[i]->strHardwareID, cp) == -1) {
                continue;
            }
            found[i] = device;
            --looking;
        }
    }
    BOOL launched = FALSE;
    for (std::size_t i = 0; i < models.size(); ++i) {
        ModelInfo* model = models[i];
        DeviceInfo* device = found[i];
        if (device == nullptr) continue;
        Launch(model->strInstaller, parameters);
        launched = TRUE;
        device->strDriverDesc.MakeUpper(cp);
        model->strModel = device->strDriverDesc;
        model->strHardwareID = device->strHardwareID;
        model->strInstanceID = device->strInstanceID;
        m_MatchedList.AddTail(model);
    }
    if (!launched) {
        m_RunModels.ForEach([&](ModelInfo* model) {
            if (model != nullptr) Launch(model->strInstaller, parameters);
        });
    }
    return TRUE;
}
