// A whole update of a generated firmware image through the pipette simulator, once with the
// line throttled to 230400 baud beside the floor the line and the fixed waits allow, and once
// unthrottled to show the host's own cost per block. Prints figures; asserts nothing.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>

#include "engine/clthread.h"
#include "engine/updateresult.h"
#include "pipettesimulator.h"
#include "protocol/clconnectpipetten.h"
#include "recordingowner.h"
#include "sampledata.h"
#include "threaddispatcher.h"
#include "wiring/realtransports.h"

namespace {

using namespace veltrin;
using Clock = std::chrono::steady_clock;

constexpr double kLineBytesPerSecond = 230400.0 / 10.0;  // 8N1: ten bits per byte

// Sleeps for real and adds up what the worker asked for, by kind of pause.
struct WaitLedger {
    std::mutex Mutex;
    double Countdown = 0, SkippedBlocks = 0, Other = 0;

    SleepFunction Sleeper() {
        return [this](std::uint32_t ms) {
            {
                std::lock_guard<std::mutex> lock(Mutex);
                (ms == 1000 ? Countdown : ms == 20 ? SkippedBlocks : Other) += ms / 1000.0;
            }
            SleepMilliseconds(ms);
        };
    }
    double Total() const { return Countdown + SkippedBlocks + Other; }
};

// Decoded answer length of each command, as the protocol lays the answers out.
std::size_t AnswerLength(std::uint16_t command) {
    switch (command) {
        case CMD_READ_DEVICE_ID:
        case CMD_READ_DEVICE_MODE:
        case CMD_READ_BATTERY_STATUS:
            return 12;
        case CMD_READ_VERSION_TEXT:
            return 12 + kVersionTextSize;
        case CMD_READ_INFO_TEXT:
            return 10 + kVersionTextSize;
        case CMD_READ_DEVICE_RECORD:
            return 10 + kDeviceRecordSize;
        case CMD_READ_PARAM_RECORD:
            return 10 + kParamRecordSize;
        case CMD_READ_BOOT_RECORD:
            return 12 + kBootRecordSize;
        case CMD_READ_CONFIG_RECORD:
            return 16 + kConfigRecordSize;
        case CMD_READ_MEMORY_INFO:
            return 28;
        default:
            return 10;
    }
}

// One framed text: STX, four length characters, two characters per byte of message and CRC, ETX.
std::size_t FrameBytes(std::size_t messageLength) {
    return 1 + 4 + 2 * (messageLength + 2) + 1;
}

struct RunFigures {
    double Seconds = 0;
    std::uint64_t WireBytes = 0;
    std::size_t Exchanges = 0;
    std::size_t Blocks = 0;
    int Code = -1;
};

RunFigures RunUpdate(std::uint32_t baudRate, const std::string& hex, WaitLedger& waits) {
    SimOptions options;
    options.DeviceType = 6;
    options.BaudRate = baudRate;
    PipetteSimulator sim(options);
    RunFigures figures;
    if (sim.Start() != 0)
        return figures;

    testing_support::ThreadDispatcher dispatcher;
    testing_support::RecordingOwner owner;
    owner.HexTarnovelleK7 = hex;
    owner.VersionTarnovelleK7 =
        "Version " + CheckDownloadedFirmware(FirmwareFamily::TarnovelleK7, hex);
    UpdateThreadSettings settings;
    settings.MakeCommandSet = MakeRealCommandSet;
    settings.Sleeper = waits.Sleeper();
    settings.OverridePorts = true;
    settings.Ports = {sim.PortName()};
    settings.TraceFileName = "";

    const auto start = Clock::now();
    ClTread::Start(owner, dispatcher, settings);
    owner.WaitEnded();
    figures.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ClTread::JoinFinishedWorkers();

    figures.Code = owner.Last(testing_support::EventKind::ReportEnd)->Value;
    for (const auto& request : sim.Requests()) {
        ++figures.Exchanges;
        if (request.Command == CMD_WRITE_MEMORY)
            ++figures.Blocks;
        // Request frame, ACK, answer frame.
        figures.WireBytes +=
            FrameBytes(request.Length) + 1 + FrameBytes(AnswerLength(request.Command));
    }
    return figures;
}

}  // namespace

int main() {
    sample::FirmwareOptions firmware;
    firmware.Sizes.Fonts = 64 * 1024;
    firmware.Sizes.Texts = 64 * 1024;
    firmware.Sizes.Bootloader = 32 * 1024;
    firmware.Sizes.Application = 160 * 1024;
    const std::string hex = sample::GenerateFirmwareHex(FirmwareFamily::TarnovelleK7, firmware);

    std::printf(
        "Full update of a dispensing pipette: bootloader %u, fonts %u, texts %u, "
        "application %u bytes of code\n",
        firmware.Sizes.Bootloader, firmware.Sizes.Fonts, firmware.Sizes.Texts,
        firmware.Sizes.Application);

    WaitLedger throttledWaits;
    const RunFigures throttled = RunUpdate(230400, hex, throttledWaits);
    const double line = static_cast<double>(throttled.WireBytes) / kLineBytesPerSecond;
    const double floor = line + throttledWaits.Total();
    std::printf("\n230400 baud (result %d)\n", throttled.Code);
    std::printf("  exchanges %zu, blocks written %zu, bytes on the wire %llu\n",
                throttled.Exchanges, throttled.Blocks,
                static_cast<unsigned long long>(throttled.WireBytes));
    std::printf(
        "  line time %.3f s + waits %.3f s (countdown %.1f, skipped blocks %.2f, "
        "other %.3f) = floor %.3f s\n",
        line, throttledWaits.Total(), throttledWaits.Countdown, throttledWaits.SkippedBlocks,
        throttledWaits.Other, floor);
    std::printf("  measured %.3f s, ratio to the floor %.4f (%+.2f %%)\n", throttled.Seconds,
                throttled.Seconds / floor, (throttled.Seconds / floor - 1.0) * 100.0);

    WaitLedger freeWaits;
    const RunFigures unthrottled = RunUpdate(0, hex, freeWaits);
    const double busy = unthrottled.Seconds - freeWaits.Total();
    std::printf("\nUnthrottled pseudo-terminal (result %d)\n", unthrottled.Code);
    std::printf("  measured %.3f s, of which waits %.3f s; the rest %.3f s\n", unthrottled.Seconds,
                freeWaits.Total(), busy);
    std::printf("  host and simulator per exchange %.3f ms, per block written %.3f ms\n",
                busy * 1000.0 / static_cast<double>(unthrottled.Exchanges),
                busy * 1000.0 / static_cast<double>(unthrottled.Blocks));
    return throttled.Code == kUpdateOk && unthrottled.Code == kUpdateOk ? 0 : 1;
}
