#include "Report.h"

#include <nlohmann/json.hpp>

#include "DeviceListFile.h"

namespace {

using Row = std::vector<std::string>;

// Text for reading: control bytes shown as escapes so that every row stays
// one line; backslashes, common in IDs and paths, stay as they are.
std::string Shown(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out += c;
        } else {
            out += EscapeField(std::string(1, c));
        }
    }
    return out;
}

// Columns as wide as their widest cell.
void Table(std::string& out, const Row& header, const std::vector<Row>& rows) {
    std::vector<std::size_t> width(header.size());
    std::vector<Row> cells{header};
    for (const Row& row : rows) {
        Row shown;
        for (const std::string& cell : row) shown.push_back(Shown(cell));
        cells.push_back(std::move(shown));
    }
    for (const Row& row : cells) {
        for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
    }
    for (const Row& row : cells) {
        std::string line = " ";
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += ' ';
            line += row[c];
            if (c + 1 < row.size()) line.append(width[c] - row[c].size() + 1, ' ');
        }
        out += line + '\n';
    }
}

std::string Quoted(const std::string& text) { return "\"" + Shown(text) + "\""; }

std::string Or(const std::string& text, const char* empty) { return text.empty() ? empty : text; }

}  // namespace

std::string TextReport(const DryRun& run, const std::vector<LintWarning>& warnings) {
    std::string out;
    out += "Kit:        " + run.kitDir + '\n';
    out += "Model list: " + run.iniPath + '\n';
    out += std::string("Devices:    ") +
           (run.replayed ? "replayed from a device list" : "this machine") + '\n';
    out += "Parameters: " + Quoted(run.parameters) + '\n';

    out += "\nDevices (" + std::to_string(run.devices.size()) + ")\n";
    if (!run.deviceSetObtained) out += "  the system gave no device list\n";
    std::vector<Row> rows;
    for (std::size_t i = 0; i < run.devices.size(); ++i) {
        const DeviceView& d = run.devices[i];
        rows.push_back({std::to_string(i), d.hardwareId, Or(d.friendlyName, "-"),
                        Or(d.driverKey, "-"), Or(d.driverDesc, "-"), Or(d.driverVersion, "-"),
                        d.instanceId});
    }
    if (!rows.empty()) {
        Table(out,
              {"#", "Hardware ID", "Friendly name", "Driver key", "Description", "Version",
               "Instance ID"},
              rows);
    }

    out += "\nModel entries (" + std::to_string(run.entries.size()) + ")\n";
    rows.clear();
    for (const EntryView& e : run.entries) {
        rows.push_back({e.key, e.model, e.pattern, Or(e.installer, "-"),
                        e.installer.empty() ? "-" : (e.installerExists ? "yes" : "no"),
                        e.matchedDevice < 0 ? "none" : "#" + std::to_string(e.matchedDevice)});
    }
    if (!rows.empty()) {
        Table(out, {"Key", "Model", "Pattern", "Installer", "Exists", "Matched"}, rows);
    }

    out += "\nLaunches (" + std::to_string(run.launches.size()) + ")\n";
    rows.clear();
    for (std::size_t i = 0; i < run.launches.size(); ++i) {
        rows.push_back({std::to_string(i + 1), Or(run.launches[i].file, "(empty)"),
                        Quoted(run.launches[i].parameters)});
    }
    if (!rows.empty()) Table(out, {"#", "Installer", "Parameters"}, rows);

    out += std::string("\nFallback:   ") + (run.fallback ? "applied" : "not applied") + " (" +
           run.fallbackReason + ")\n";

    out += "\nDiagnostics (" + std::to_string(run.diagnostics.size()) + ")\n";
    // A model list with few keys gives the same record for each missing one.
    for (std::size_t i = 0; i < run.diagnostics.size();) {
        std::size_t same = i + 1;
        while (same < run.diagnostics.size() && run.diagnostics[same] == run.diagnostics[i]) ++same;
        out += "  " + Shown(run.diagnostics[i]);
        if (same - i > 1) out += "  (" + std::to_string(same - i) + " times)";
        out += '\n';
        i = same;
    }

    out += "\nWarnings (" + std::to_string(warnings.size()) + ")\n";
    rows.clear();
    for (const LintWarning& w : warnings) {
        rows.push_back({w.line > 0 ? "line " + std::to_string(w.line) : "-", Or(w.key, "-"), w.code,
                        w.message});
    }
    if (!rows.empty()) Table(out, {"Line", "Key", "Warning", "Message"}, rows);
    return out;
}

std::string JsonReport(const DryRun& run, const std::vector<LintWarning>& warnings) {
    using json = nlohmann::ordered_json;
    json doc;
    doc["kit"] = run.kitDir;
    doc["modelList"] = run.iniPath;
    doc["source"] = run.replayed ? "device-list" : "machine";
    doc["parameters"] = run.parameters;
    doc["deviceListObtained"] = run.deviceSetObtained;
    doc["devices"] = json::array();
    for (std::size_t i = 0; i < run.devices.size(); ++i) {
        const DeviceView& d = run.devices[i];
        doc["devices"].push_back({{"index", i},
                                  {"hardwareId", d.hardwareId},
                                  {"friendlyName", d.friendlyName},
                                  {"driverKey", d.driverKey},
                                  {"driverDesc", d.driverDesc},
                                  {"driverVersion", d.driverVersion},
                                  {"instanceId", d.instanceId}});
    }
    doc["entries"] = json::array();
    for (const EntryView& e : run.entries) {
        doc["entries"].push_back(
            {{"key", e.key},
             {"model", e.model},
             {"pattern", e.pattern},
             {"installer", e.installer},
             {"installerExists", e.installerExists},
             {"matchedDevice", e.matchedDevice < 0 ? json(nullptr) : json(e.matchedDevice)}});
    }
    doc["launches"] = json::array();
    for (const RecordedLaunch& l : run.launches) {
        doc["launches"].push_back({{"operation", l.operation},
                                   {"file", l.file},
                                   {"parameters", l.parameters},
                                   {"showCommand", l.showCommand}});
    }
    doc["fallback"] = {{"applied", run.fallback}, {"reason", run.fallbackReason}};
    doc["diagnostics"] = run.diagnostics;
    doc["warnings"] = json::array();
    for (const LintWarning& w : warnings) {
        doc["warnings"].push_back({{"code", w.code},
                                   {"key", w.key},
                                   {"line", w.line > 0 ? json(w.line) : json(nullptr)},
                                   {"message", w.message}});
    }
    // Text in a code page other than UTF-8 cannot go into JSON as it is; its
    // stray bytes become U+FFFD instead of failing the whole document.
    return doc.dump(2, ' ', false, json::error_handler_t::replace) + '\n';
}
