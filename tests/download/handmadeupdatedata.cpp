#include "handmadeupdatedata.h"

#include <cstdio>
#include <cstring>

namespace veltrin::test {

namespace {

constexpr std::size_t kRecordBytes = 16;

std::string Record(std::uint8_t type, std::uint16_t address, const std::uint8_t* data,
                   std::size_t count) {
    std::uint8_t sum = static_cast<std::uint8_t>(count) + static_cast<std::uint8_t>(address >> 8) +
                       static_cast<std::uint8_t>(address) + type;
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), ":%02X%04X%02X", static_cast<unsigned>(count),
                  static_cast<unsigned>(address), static_cast<unsigned>(type));
    std::string line = buffer;
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(buffer, sizeof(buffer), "%02X", static_cast<unsigned>(data[i]));
        line += buffer;
        sum = static_cast<std::uint8_t>(sum + data[i]);
    }
    std::snprintf(buffer, sizeof(buffer), "%02X\r\n",
                  static_cast<unsigned>(static_cast<std::uint8_t>(-sum)));
    return line + buffer;
}

// A 31-byte version block: dd.dd.dd, then a 12-character and an 8-character field.
std::vector<std::uint8_t> VersionBlock(const std::string& version) {
    std::vector<std::uint8_t> block(kVersionBlockSize, 0);
    std::memcpy(block.data(), version.data(), std::min<std::size_t>(version.size(), 8));
    std::memcpy(block.data() + 9, "2024-01-01 X", 12);
    std::memcpy(block.data() + 22, "REL-0001", 8);
    return block;
}

std::vector<std::uint8_t> Filler(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
    }
    return bytes;
}

std::uint16_t Crc16Arc(const std::uint8_t* data, std::size_t size) {
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<std::uint16_t>(crc >> 1);
        }
    }
    return crc;
}

}  // namespace

void HexImageBuilder::Put(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes_[address + static_cast<std::uint32_t>(i)] = bytes[i];
    }
}

void HexImageBuilder::PutText(std::uint32_t address, const std::string& text) {
    Put(address, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string HexImageBuilder::Text() const {
    std::string text;
    std::uint32_t upper = 0xFFFFFFFF;
    auto it = bytes_.begin();
    while (it != bytes_.end()) {
        const std::uint32_t start = it->first;
        if ((start >> 16) != upper) {
            upper = start >> 16;
            const std::uint8_t offset[2] = {static_cast<std::uint8_t>(upper >> 8),
                                            static_cast<std::uint8_t>(upper)};
            text += Record(0x04, 0, offset, 2);
        }
        // A run of consecutive addresses within one 64 KiB segment and one record.
        std::vector<std::uint8_t> run;
        std::uint32_t next = start;
        while (it != bytes_.end() && it->first == next && run.size() < kRecordBytes &&
               (next >> 16) == upper) {
            run.push_back(it->second);
            ++next;
            ++it;
        }
        text += Record(0x00, static_cast<std::uint16_t>(start & 0xFFFF), run.data(), run.size());
    }
    text += Record(0x01, 0, nullptr, 0);
    return text;
}

std::string MakeFirmwareHex(FirmwareFamily family, const HandmadeFirmware& firmware) {
    TSHexRange ranges[kFirmwareRangeCount];
    PrepareImage(family, ranges);
    const bool quorvan = family == FirmwareFamily::QuorvanOtg;
    const std::string identifier = !firmware.Identifier.empty() ? firmware.Identifier
                                   : quorvan                    ? kQuorvanOtgIdentifier
                                                                : kTarnovelleK7Identifier;
    const std::string dataVersion =
        firmware.DataVersion.empty() ? firmware.Version : firmware.DataVersion;

    HexImageBuilder image;
    if (quorvan) {
        image.Put(ranges[RANGE_SOUNDS].StartAddress, Filler(40, 1));
    }
    image.Put(ranges[RANGE_FONTS].StartAddress, Filler(40, 2));
    image.Put(ranges[RANGE_TEXTS].StartAddress, Filler(40, 3));
    image.Put(ranges[RANGE_BOOTLOADER].StartAddress, Filler(40, 4));
    image.Put(ranges[RANGE_APPLICATION].StartAddress, Filler(64, 5));
    image.Put(ranges[RANGE_DATA_VERSION].StartAddress, VersionBlock(dataVersion));
    const FirmwareRange bootVersion =
        firmware.LargeBootloader ? RANGE_BOOT_VERSION_LARGE : RANGE_BOOT_VERSION_SMALL;
    image.Put(ranges[bootVersion].StartAddress, VersionBlock("00.09.01"));
    std::vector<std::uint8_t> id(20, 0);
    std::memcpy(id.data(), identifier.data(), std::min<std::size_t>(identifier.size(), 20));
    image.Put(ranges[RANGE_DEVICE_ID].StartAddress, id);
    image.Put(ranges[RANGE_APP_VERSION].StartAddress, VersionBlock(firmware.Version));
    return image.Text();
}

std::vector<std::uint8_t> MakeVariantFile(const std::vector<std::uint16_t>& variantIds) {
    constexpr std::size_t kHeader = 64;
    constexpr std::size_t kRecord = 436;
    const std::size_t size = kHeader + kRecord * variantIds.size() + 2;
    std::vector<std::uint8_t> file(size, 0);
    std::memcpy(file.data(), "ZK_QUORVAN_PAR1", 15);
    const auto put32 = [&file](std::size_t offset, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            file[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    };
    put32(16, static_cast<std::uint32_t>(variantIds.size()));
    put32(20, static_cast<std::uint32_t>(size));
    for (std::size_t i = 0; i < variantIds.size(); ++i) {
        std::uint8_t* record = file.data() + kHeader + kRecord * i;
        record[0] = static_cast<std::uint8_t>(variantIds[i]);
        record[1] = static_cast<std::uint8_t>(variantIds[i] >> 8);
        std::memcpy(record + 2, "TIP-1.0", 7);
        std::memcpy(record + 17, "MOT-1.0", 7);
    }
    const std::uint16_t crc = Crc16Arc(file.data(), size - 2);
    file[size - 2] = static_cast<std::uint8_t>(crc);
    file[size - 1] = static_cast<std::uint8_t>(crc >> 8);
    return file;
}

}  // namespace veltrin::test
