#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "data/firmwarelayout.h"

namespace veltrin::test {

// A small Intel HEX image written by hand: bytes at addresses, emitted as type 04 and type 00
// records and an end record.
class HexImageBuilder {
public:
    void Put(std::uint32_t address, const std::vector<std::uint8_t>& bytes);
    void PutText(std::uint32_t address, const std::string& text);
    std::string Text() const;

private:
    std::map<std::uint32_t, std::uint8_t> bytes_;
};

// What a hand-made firmware holds; the defaults pass the download's check.
struct HandmadeFirmware {
    std::string Version = "01.02.03";
    std::string DataVersion;  // empty: the same as Version
    std::string Identifier;   // empty: the family's identifier
    bool LargeBootloader = false;
};

std::string MakeFirmwareHex(FirmwareFamily family, const HandmadeFirmware& firmware = {});

// A variant parameter file with one record per id (CRC-16/ARC over all but the last two bytes).
std::vector<std::uint8_t> MakeVariantFile(const std::vector<std::uint16_t>& variantIds);

}  // namespace veltrin::test
