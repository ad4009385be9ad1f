#include "simcommandline.h"

#include <cerrno>
#include <cstdlib>

#include "devicecommands.h"

namespace veltrin {
namespace {

bool ParseNumber(const std::string& text, unsigned long max, unsigned long& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoul(text.c_str(), &end, 0);
    return errno == 0 && end != nullptr && *end == '\0' && value <= max;
}

template <typename T>
bool ParseInto(const std::string& text, unsigned long max, T& out) {
    unsigned long value = 0;
    if (!ParseNumber(text, max, value))
        return false;
    out = static_cast<T>(value);
    return true;
}

bool ParseMemoryType(const std::string& text, int& type) {
    for (int i = 0; i < kSimMemoryTypeCount; ++i) {
        if (text == SimMemoryName(i)) {
            type = i;
            return true;
        }
    }
    return ParseInto(text, 0xFFFF, type);
}

bool ParseFaultKind(const std::string& text, SimFaultKind& kind) {
    constexpr SimFaultKind kKinds[] = {SimFaultKind::Nak,         SimFaultKind::Garbage,
                                       SimFaultKind::BadChecksum, SimFaultKind::Status,
                                       SimFaultKind::Silence,     SimFaultKind::HangUp,
                                       SimFaultKind::ShortAnswer, SimFaultKind::Unterminated};
    for (SimFaultKind candidate : kKinds) {
        if (text == SimFaultKindName(candidate)) {
            kind = candidate;
            return true;
        }
    }
    return false;
}

bool ParseFaultKey(const std::string& key, const std::string& value, SimFault& fault) {
    if (key == "at")
        return ParseInto(value, 0xFFFFFFFF, fault.Occurrence) && fault.Occurrence > 0;
    if (key == "repeat")
        return ParseInto(value, 0xFFFFFFFF, fault.Repeat);
    if (key == "status")
        return ParseInto(value, 0xFFFF, fault.Status);
    if (key == "length")
        return ParseInto(value, 1000000, fault.Length);
    if (key == "memory")
        return ParseMemoryType(value, fault.MemoryType);
    if (key == "command") {
        const auto command = ParseSimCommand(value);
        if (command)
            fault.Command = *command;
        return command.has_value();
    }
    return false;
}

}  // namespace

SimProgramSettings DefaultProgramSettings() {
    SimProgramSettings settings;
    settings.Options.RestartSilenceMs = 2000;
    return settings;
}

bool ParseFault(const std::string& text, SimFault& fault, std::string& error) {
    fault = SimFault{};
    const std::size_t colon = text.find(':');
    if (!ParseFaultKind(text.substr(0, colon), fault.Kind)) {
        error = "unknown fault kind in \"" + text + "\"";
        return false;
    }
    if (colon == std::string::npos)
        return true;
    std::size_t at = colon + 1;
    while (at <= text.size()) {
        std::size_t comma = text.find(',', at);
        if (comma == std::string::npos)
            comma = text.size();
        const std::string item = text.substr(at, comma - at);
        const std::size_t equals = item.find('=');
        if (equals == std::string::npos ||
            !ParseFaultKey(item.substr(0, equals), item.substr(equals + 1), fault)) {
            error = "bad fault setting \"" + item + "\" in \"" + text + "\"";
            return false;
        }
        at = comma + 1;
    }
    return true;
}

bool ParseCommandLine(const std::vector<std::string>& args, SimProgramSettings& settings,
                      std::string& error) {
    SimOptions& o = settings.Options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (flag == "--help" || flag == "-h") {
            settings.Help = true;
            continue;
        }
        if (flag == "--no-memory-info") {
            o.NoMemoryInfo = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = flag.rfind("--", 0) == 0 ? flag + " needs a value" : "unknown argument " + flag;
            return false;
        }
        const std::string& value = args[++i];
        bool ok = true;
        if (flag == "--type") {
            ok = ParseInto(value, 0xFFFF, o.DeviceType);
        } else if (flag == "--mode") {
            ok = ParseInto(value, 0xFFFF, o.Mode);
        } else if (flag == "--battery") {
            ok = ParseInto(value, 0xFFFF, o.Battery);
        } else if (flag == "--version0") {
            o.Version0 = value;
        } else if (flag == "--version1") {
            o.Version1 = value;
        } else if (flag == "--info") {
            o.InfoText = value;
        } else if (flag == "--variant") {
            ok = ParseInto(value, 0xFFFF, o.VariantId);
        } else if (flag == "--largest-block") {
            ok = ParseInto(value, 0xFFFF, o.LargestBlock);
        } else if (flag == "--restart-ms") {
            ok = ParseInto(value, 3600000, o.RestartSilenceMs);
        } else if (flag == "--baud") {
            ok = ParseInto(value, 100000000, o.BaudRate);
        } else if (flag == "--flash-write-ms") {
            ok = ParseInto(value, 60000, o.FlashWriteMs);
        } else if (flag == "--replug-after-ms") {
            ok = ParseInto(value, 3600000, o.ReplugAfterMs);
        } else if (flag == "--fault") {
            SimFault fault;
            if (!ParseFault(value, fault, error))
                return false;
            o.Faults.push_back(fault);
        } else if (flag == "--log") {
            settings.LogFile = value;
        } else if (flag == "--dump") {
            settings.DumpDir = value;
        } else {
            error = "unknown argument " + flag;
            return false;
        }
        if (!ok) {
            error = "bad value \"" + value + "\" for " + flag;
            return false;
        }
    }
    return true;
}

std::string UsageText() {
    return "Usage: pipette-sim [options]\n"
           "Plays a pipette on a pseudo-terminal. The first line on stdout is the port name\n"
           "(e.g. pts/7; the device is /dev/pts/7); a new line follows after every re-plug.\n"
           "SIGINT/SIGTERM end it, SIGUSR1 unplugs the device, SIGUSR2 plugs it in again.\n"
           "\n"
           "Device:\n"
           "  --type N             device type (9 electronic, 6 dispensing, 1 short id); 9\n"
           "  --mode N             1 application, 2 bootloader; 1\n"
           "  --battery N          battery status 0..16; 3 (0, 5, 6 and 13..16 are too low\n"
           "                       for an update: it then ends with code 6)\n"
           "  --version0 TEXT      installed software version; 01.00.00\n"
           "  --version1 TEXT      bootloader version; 01.00.00\n"
           "  --info TEXT          info text (kept in the device's Windows-1252)\n"
           "  --variant ID         variant id of the records; 0x0130\n"
           "  --largest-block N    largest block ReadMemoryInfo reports (0 allowed); 4096\n"
           "  --no-memory-info     ReadMemoryInfo answers status 0x0A01\n"
           "Timing:\n"
           "  --restart-ms N       silence after RestartDevice; 2000\n"
           "  --baud N             pace the line at N bit/s, 8N1 (0 = no throttle); 0\n"
           "  --flash-write-ms N   time a WriteMemory block takes; 0\n"
           "  --replug-after-ms N  plug in again N ms after a hang-up fault\n"
           "Faults (repeatable):\n"
           "  --fault KIND[:key=value,...]\n"
           "      KIND  nak | garbage | checksum | status | silence | hangup | short |\n"
           "            no-etx\n"
           "      at=N        the N-th matching frame (default 1)\n"
           "      command=C   count only this command (name such as WriteMemory, or code)\n"
           "      memory=M    with WriteMemory/ReadMemoryInfo: only this memory (0..3 or\n"
           "                  int-flash, ext-flash, int-eeprom, ext-eeprom)\n"
           "      repeat=K    hit K consecutive matching frames (0 = all from N on); 1\n"
           "      status=S    status word for KIND status; 0x0103\n"
           "      length=L    short: answer bytes kept; no-etx: filler characters sent\n"
           "                  after the answer in place of its ETX; 0\n"
           "      example     --fault hangup:command=WriteMemory,memory=int-flash,at=3\n"
           "Output:\n"
           "  --log FILE           append one line per request\n"
           "  --dump DIR           write memories, records and logs there on exit\n";
}

}  // namespace veltrin
