#include "simdump.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace veltrin {
namespace {

std::string Hex(std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

template <typename T>
std::string List(const std::vector<T>& values) {
    std::string text;
    for (const T& value : values) {
        if (!text.empty())
            text += ' ';
        text += std::to_string(value);
    }
    return text;
}

bool WriteFile(const std::filesystem::path& path, const void* data, std::size_t size,
               std::string& error) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    file.close();
    if (!file)
        error = path.string();
    return static_cast<bool>(file);
}

bool WriteText(const std::filesystem::path& path, const std::string& text, std::string& error) {
    return WriteFile(path, text.data(), text.size(), error);
}

template <std::size_t N>
bool WriteRecord(const std::filesystem::path& path, const std::array<std::uint8_t, N>& record,
                 std::string& error) {
    return WriteFile(path, record.data(), N, error);
}

bool WriteMemory(const std::filesystem::path& folder, int type, const SimMemory& memory,
                 std::string& error) {
    const std::string name = "memory-" + SimMemoryName(type);
    std::string index;
    for (const SimMemory::Span& span : memory.WrittenSpans()) {
        char address[16];
        std::snprintf(address, sizeof address, "%08X", span.Start);
        const std::string file = name + "-" + address + ".bin";
        index += Hex(span.Start, 8) + " " + std::to_string(span.Count) + " " + file + "\n";
        const std::vector<std::uint8_t> bytes = memory.Read(span.Start, span.Count);
        if (!WriteFile(folder / file, bytes.data(), bytes.size(), error))
            return false;
    }
    return WriteText(folder / (name + ".txt"), index, error);
}

}  // namespace

std::string FormatRequestLine(const SimRequest& request) {
    char line[160];
    std::snprintf(
        line, sizeof line, "%10.3f #%u %s len=%u status=0x%04X mode=%d %s", request.TimeMs / 1000.0,
        request.Sequence,
        request.Outcome == SimOutcome::BadFrame ? "-" : SimCommandName(request.Command).c_str(),
        request.Length, request.Status, request.Mode, SimOutcomeName(request.Outcome));
    return line;
}

std::string FormatStateText(const SimDeviceState& s) {
    std::ostringstream text;
    text << "device-type: " << s.DeviceType << "\n"
         << "mode: " << s.Mode << "\n"
         << "battery: " << s.Battery << "\n"
         << "version0: " << TextOf(s.VersionText0) << "\n"
         << "version1: " << TextOf(s.VersionText1) << "\n"
         << "info: " << TextOf(s.InfoText) << "\n"
         << "device-record-variant: " << Hex(s.DeviceRecordVariant(), 4) << "\n"
         << "config-record-variant: " << Hex(s.ConfigRecordVariant(), 4) << "\n"
         << "param-record-variant: " << Hex(s.ParamRecordVariant(), 4) << "\n"
         << "boot-state: " << Hex(s.BootState(), 8) << "\n"
         << "boot-size: " << s.BootSize() << "\n"
         << "app-state: " << Hex(s.AppState(), 8) << "\n"
         << "application-complete: " << (s.ApplicationComplete ? "yes" : "no") << "\n"
         << "restarts: " << s.Restarts << "\n"
         << "boots: " << s.Boots << "\n"
         << "begin-uploads: " << s.BeginUploads << "\n"
         << "update-success-shown: " << s.UpdateSuccessShown << "\n"
         << "update-failed-signalled: " << s.UpdateFailedSignalled << "\n"
         << "progress: " << List(s.Progress) << "\n"
         << "application-sizes: " << List(s.ApplicationSizes) << "\n"
         << "record-writes: " << s.RecordWrites.size() << "\n";
    return text.str();
}

int WriteDump(const std::string& folder, const PipetteSimulator& sim, std::string& error) {
    const std::filesystem::path dir(folder);
    std::error_code code;
    std::filesystem::create_directories(dir, code);
    if (code) {
        error = folder;
        return code.value();
    }
    const SimDeviceState state = sim.State();
    bool ok = WriteText(dir / "state.txt", FormatStateText(state), error) &&
              WriteRecord(dir / "device-record.bin", state.DeviceRecord, error) &&
              WriteRecord(dir / "config-record.bin", state.ConfigRecord, error) &&
              WriteRecord(dir / "param-record.bin", state.ParamRecord, error) &&
              WriteRecord(dir / "boot-record.bin", state.BootRecord, error);
    for (int type = 0; ok && type < kSimMemoryTypeCount; ++type) {
        ok = WriteMemory(dir, type, sim.Memory(type), error);
    }
    if (ok) {
        std::string blocks;
        for (const SimWrittenBlock& block : sim.WrittenBlocks()) {
            blocks += Hex(block.Address, 8) + " " + std::to_string(block.Count) + " " +
                      SimMemoryName(block.MemoryType) + " mode=" + std::to_string(block.Mode) +
                      "\n";
        }
        ok = WriteText(dir / "blocks.txt", blocks, error);
    }
    if (ok) {
        std::string requests;
        for (const SimRequest& request : sim.Requests()) {
            requests += FormatRequestLine(request) + "\n";
        }
        ok = WriteText(dir / "requests.txt", requests, error);
    }
    return ok ? 0 : (errno != 0 ? errno : EIO);
}

}  // namespace veltrin
