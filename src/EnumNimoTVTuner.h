// The object that does the program's work: it knows where the program lies,
// reads the model list, takes stock of the present devices, matches the two
// and launches installers. Diagnostics go to the debugger output.
#pragma once

#include "PATH.h"
#include "Platform.h"
#include "afx/CPtrList.h"
#include "afx/CString.h"

// One entry of the model list; after a match it describes the device.
struct ModelInfo {
    CString strModel;       // model name upper-cased; after a match the driver description
    CString strHardwareID;  // pattern upper-cased; after a match the device's first ID
    CString strInstanceID;  // empty; after a match the device's instance ID
    CString strInstaller;   // program directory + file, or empty for fewer than three fields
};

// One present device.
struct DeviceInfo {
    CString strHardwareID;  // first entry of the hardware-ID list
    CString strFriendlyName;
    CString strDriverKey;  // relative to the driver class key
    CString strDriverVersion;
    CString strInstanceID;
    CString strDriverDesc;
};

using CModelList = CTypedPtrList<ModelInfo>;
using CDeviceList = CTypedPtrList<DeviceInfo>;

class CEnumNimoTVTuner {
public:
    // Fetches and splits the program path at once (see CPATH).
    explicit CEnumNimoTVTuner(Platform& platform);
    virtual ~CEnumNimoTVTuner();
    CEnumNimoTVTuner(const CEnumNimoTVTuner&) = delete;
    CEnumNimoTVTuner& operator=(const CEnumNimoTVTuner&) = delete;

    // One selection run: re-enumerate, read the model list, list the present
    // devices, launch the installer of every entry whose pattern occurs in a
    // device's first hardware ID, or of every entry when none does. Every
    // launch gets `parameters`. Always TRUE.
    BOOL Execute(CString parameters);

    // Appends one new entry per key of the model list that has a value to
    // `list`; the caller owns them. Reports each missing key.
    void ReadModelList(CModelList& list);

    // Asks Plug and Play to re-enumerate from the root. Always TRUE.
    BOOL Reenumerate();

    // Waits one second and lists the present devices: 1, or -1 when the
    // system gave no device information set.
    int EnumerateDevices();

    // Writes one four-line record to the debugger output: the message, the
    // reporting source line and file, and the thread's last error.
    void ReportError(const char* message, unsigned line, const char* file);

    const CString& IniPath() const { return m_strIniPath; }
    const CPATH& Path() const { return m_Path; }
    const CDeviceList& Devices() const { return m_DeviceList; }
    const CModelList& Matched() const { return m_MatchedList; }
    // The last run's model entries, in key order.
    const CModelList& Models() const { return m_RunModels; }

private:
    void Launch(const CString& installer, const CString& parameters);
    void ReadDriverValue(const CString& keyPath, const char* name, CString& text);

    CString m_strIniPath;
    CPATH m_Path;
    CDeviceList m_DeviceList;   // owns its records
    CModelList m_MatchedList;   // refers to records of m_RunModels
    CModelList m_RunModels;     // owns the last run's model entries
    Platform& m_platform;
};
