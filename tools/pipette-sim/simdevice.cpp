#include "simdevice.h"

#include <algorithm>

namespace veltrin {
namespace {

std::uint16_t GetUint16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t GetUint32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(GetUint16(bytes, at)) |
           static_cast<std::uint32_t>(GetUint16(bytes, at + 2)) << 16;
}

void PutUint16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void PutUint32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    PutUint16(bytes, at, value & 0xFFFF);
    PutUint16(bytes, at + 2, value >> 16);
}

// An answer of the given total length with the header filled in; results go from offset 10.
SimAnswer Answer(std::uint16_t command, std::size_t length) {
    SimAnswer answer;
    answer.Message.assign(length, 0);
    PutUint16(answer.Message, 0, static_cast<std::uint32_t>(length));
    PutUint16(answer.Message, 4, command);
    return answer;
}

template <std::size_t N>
void CopyOut(const std::array<std::uint8_t, N>& from, SimAnswer& answer, std::size_t at) {
    std::copy(from.begin(), from.end(), answer.Message.begin() + static_cast<std::ptrdiff_t>(at));
}

template <std::size_t N>
void CopyIn(const std::vector<std::uint8_t>& request, std::size_t at,
            std::array<std::uint8_t, N>& to) {
    std::copy_n(request.begin() + static_cast<std::ptrdiff_t>(at), N, to.begin());
}

// Base address and size each memory reports in ReadMemoryInfo (not used by the host).
struct MemoryGeometry {
    std::uint32_t Base;
    std::uint32_t Size;
};
constexpr MemoryGeometry kGeometry[kSimMemoryTypeCount] = {
    {0x08000000, 0x00100000}, {0x00000000, 0x00800000}, {0x00000000, 0x1000}, {0x0, 0x8000}};

// Request length of each command; WriteMemory (which carries its block) gives 20, its least,
// and unknown commands 0.
std::size_t RequestLength(std::uint16_t command) {
    switch (command) {
        case SIM_READ_DEVICE_ID:
        case SIM_READ_DEVICE_MODE:
        case SIM_READ_BATTERY_STATUS:
        case SIM_RESTART_DEVICE:
        case SIM_READ_DEVICE_RECORD:
        case SIM_READ_PARAM_RECORD:
        case SIM_READ_BOOT_RECORD:
        case SIM_READ_CONFIG_RECORD:
        case SIM_READ_INFO_TEXT:
        case SIM_BEGIN_UPLOAD:
        case SIM_SHOW_UPDATE_SUCCESS:
        case SIM_SIGNAL_UPDATE_FAILED:
            return 10;
        case SIM_WRITE_MEMORY:
            return 20;
        case SIM_READ_VERSION_TEXT:
        case SIM_READ_MEMORY_INFO:
        case SIM_SET_PROGRESS:
            return 12;
        case SIM_SET_APPLICATION_SIZE:
            return 16;
        case SIM_WRITE_DEVICE_RECORD:
            return 10 + kSimDeviceRecordSize;
        case SIM_WRITE_PARAM_RECORD:
            return 10 + kSimParamRecordSize;
        case SIM_WRITE_BOOT_RECORD:
            return 12 + kSimBootRecordSize;
        case SIM_WRITE_CONFIG_RECORD:
            return 16 + kSimConfigRecordSize;
        default:
            return 0;
    }
}

SimAnswer WriteMemory(const std::vector<std::uint8_t>& request, SimDevice& device) {
    if (request.size() < RequestLength(SIM_WRITE_MEMORY)) {
        return StatusAnswer(SIM_WRITE_MEMORY, kSimStatusBadLength);
    }
    const std::uint32_t address = GetUint32(request, 12);
    const std::uint16_t count = GetUint16(request, 16);
    const std::uint16_t type = GetUint16(request, 18);
    if (request.size() != std::size_t{count} + 20u) {
        return StatusAnswer(SIM_WRITE_MEMORY, kSimStatusBadLength);
    }
    if (count == 0 || count > kSimMaxBlock || type >= kSimMemoryTypeCount ||
        std::uint64_t{address} + count > (std::uint64_t{1} << 32)) {
        return StatusAnswer(SIM_WRITE_MEMORY, kSimStatusBadParameter);
    }
    const std::uint8_t* data = request.data() + 20;
    device.Memories[type].Write(address, data, count);
    device.Blocks.push_back(
        {address, count, type, device.State.Mode, std::vector<std::uint8_t>(data, data + count)});
    if (type == 0)
        device.State.ApplicationComplete = false;
    return Answer(SIM_WRITE_MEMORY, 10);
}

SimAnswer ReadMemoryInfo(const std::vector<std::uint8_t>& request, SimDevice& device) {
    const std::uint16_t type = GetUint16(request, 10);
    if (type >= kSimMemoryTypeCount) {
        return StatusAnswer(SIM_READ_MEMORY_INFO, kSimStatusBadParameter);
    }
    if (device.State.NoMemoryInfo) {
        return StatusAnswer(SIM_READ_MEMORY_INFO, kSimStatusNoMemoryInfo);
    }
    SimAnswer answer = Answer(SIM_READ_MEMORY_INFO, 28);
    PutUint16(answer.Message, 10, type);
    PutUint32(answer.Message, 12, kGeometry[type].Base);
    PutUint32(answer.Message, 16, kGeometry[type].Size);
    PutUint16(answer.Message, 20, 0);
    PutUint16(answer.Message, 22, device.State.LargestBlock);
    PutUint16(answer.Message, 24, type);
    return answer;
}

SimAnswer ReadVersionText(const std::vector<std::uint8_t>& request, SimDevice& device) {
    const std::uint16_t index = GetUint16(request, 10);
    if (index > 1)
        return StatusAnswer(SIM_READ_VERSION_TEXT, kSimStatusBadParameter);
    SimAnswer answer = Answer(SIM_READ_VERSION_TEXT, 12 + kSimTextSize);
    PutUint16(answer.Message, 10, index);
    CopyOut(index == 0 ? device.State.VersionText0 : device.State.VersionText1, answer, 12);
    return answer;
}

SimAnswer ReadDeviceId(SimDevice& device) {
    if (device.State.DeviceType == 1) {
        // The short-id device answers with a fixed 5-byte message instead of the layout.
        SimAnswer answer;
        answer.Message = {0x05, 0x00, 0x00, 0xFF, 0xC0};
        return answer;
    }
    SimAnswer answer = Answer(SIM_READ_DEVICE_ID, 12);
    PutUint16(answer.Message, 10, static_cast<std::uint32_t>(device.State.DeviceType));
    return answer;
}

SimAnswer Uint16Answer(std::uint16_t command, std::uint32_t value) {
    SimAnswer answer = Answer(command, 12);
    PutUint16(answer.Message, 10, value);
    return answer;
}

template <std::size_t N>
SimAnswer RecordAnswer(std::uint16_t command, const std::array<std::uint8_t, N>& record,
                       std::size_t at) {
    SimAnswer answer = Answer(command, at + N);
    CopyOut(record, answer, at);
    return answer;
}

template <std::size_t N>
SimAnswer WriteRecord(const std::vector<std::uint8_t>& request, std::size_t at,
                      std::array<std::uint8_t, N>& record, SimDevice& device) {
    CopyIn(request, at, record);
    const std::uint16_t command = GetUint16(request, 4);
    device.State.RecordWrites.push_back(
        {command, std::vector<std::uint8_t>(record.begin(), record.end())});
    return Answer(command, 10);
}

SimAnswer Dispatch(std::uint16_t command, const std::vector<std::uint8_t>& request,
                   SimDevice& device) {
    SimDeviceState& state = device.State;
    switch (command) {
        case SIM_READ_DEVICE_ID:
            return ReadDeviceId(device);
        case SIM_READ_DEVICE_MODE:
            return Uint16Answer(command, static_cast<std::uint32_t>(state.Mode));
        case SIM_READ_BATTERY_STATUS:
            return Uint16Answer(command, state.Battery);
        case SIM_READ_VERSION_TEXT:
            return ReadVersionText(request, device);
        case SIM_RESTART_DEVICE: {
            SimAnswer answer = Answer(command, 10);
            answer.Restart = true;
            ++state.Restarts;
            return answer;
        }
        case SIM_READ_DEVICE_RECORD:
            return RecordAnswer(command, state.DeviceRecord, 10);
        case SIM_WRITE_DEVICE_RECORD:
            return WriteRecord(request, 10, state.DeviceRecord, device);
        case SIM_READ_PARAM_RECORD:
            return RecordAnswer(command, state.ParamRecord, 10);
        case SIM_WRITE_PARAM_RECORD:
            return WriteRecord(request, 10, state.ParamRecord, device);
        case SIM_READ_BOOT_RECORD:
            return RecordAnswer(command, state.BootRecord, 12);
        case SIM_WRITE_BOOT_RECORD:
            return WriteRecord(request, 12, state.BootRecord, device);
        case SIM_READ_CONFIG_RECORD:
            return RecordAnswer(command, state.ConfigRecord, 16);
        case SIM_WRITE_CONFIG_RECORD:
            return WriteRecord(request, 16, state.ConfigRecord, device);
        case SIM_READ_INFO_TEXT:
            return RecordAnswer(command, state.InfoText, 10);
        case SIM_READ_MEMORY_INFO:
            return ReadMemoryInfo(request, device);
        case SIM_WRITE_MEMORY:
            return WriteMemory(request, device);
        case SIM_BEGIN_UPLOAD:
            ++state.BeginUploads;
            return Answer(command, 10);
        case SIM_SHOW_UPDATE_SUCCESS:
            ++state.UpdateSuccessShown;
            state.ApplicationComplete = true;
            return Answer(command, 10);
        case SIM_SIGNAL_UPDATE_FAILED:
            ++state.UpdateFailedSignalled;
            return Answer(command, 10);
        case SIM_SET_PROGRESS:
            state.Progress.push_back(GetUint16(request, 10));
            return Answer(command, 10);
        case SIM_SET_APPLICATION_SIZE:
            state.ApplicationSizes.push_back(GetUint32(request, 12));
            state.ApplicationComplete = false;
            return Answer(command, 10);
        default:
            return StatusAnswer(command, kSimStatusUnknownCommand);
    }
}

}  // namespace

SimAnswer StatusAnswer(std::uint16_t command, std::uint16_t status) {
    SimAnswer answer = Answer(command, 10);
    PutUint16(answer.Message, 8, status);
    answer.Status = status;
    return answer;
}

SimAnswer ExecuteRequest(const std::vector<std::uint8_t>& request, SimDevice& device) {
    if (request.size() < 10)
        return StatusAnswer(0, kSimStatusBadLength);
    const std::uint16_t command = GetUint16(request, 4);
    if (GetUint16(request, 0) != request.size()) {
        return StatusAnswer(command, kSimStatusBadLength);
    }
    const std::size_t length = RequestLength(command);
    if (length == 0)
        return StatusAnswer(command, kSimStatusUnknownCommand);
    if (command != SIM_WRITE_MEMORY && request.size() != length) {
        return StatusAnswer(command, kSimStatusBadLength);
    }
    return Dispatch(command, request, device);
}

void BootDevice(SimDevice& device) {
    SimDeviceState& state = device.State;
    state.Mode = BootMode(state);
    state.Restarting = false;
    ++state.Boots;
    const SimMemory& flash = device.Memories[0];
    if (state.Mode == 1 && flash.IsWritten(kSimAppVersionAddress)) {
        const std::vector<std::uint8_t> block = flash.Read(kSimAppVersionAddress, kSimTextSize);
        std::copy(block.begin(), block.end(), state.VersionText0.begin());
    }
}

}  // namespace veltrin
