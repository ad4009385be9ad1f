#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/checksums.h"
#include "data/clquorvanvariants.h"
#include "sampledata.h"
#include "samplerandom.h"

namespace veltrin::sample {

namespace {

void PutLe32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void FillBytes(SampleRandom& random, std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = random.Byte();
}

TSClQuorvanVariants_ParamRecord MakeRecord(std::uint16_t id, std::uint32_t seed) {
    SampleRandom random(seed, 0x100u + id);
    TSClQuorvanVariants_ParamRecord record;
    std::memset(&record, 0, sizeof record);
    record.VariantId = id;
    // Zeroed before each use: the 15-byte fields take the text's unused tail bytes as well.
    char text[16] = {};
    std::snprintf(text, sizeof text, "TP-%04X-%02u.%02u", id, seed % 100, (seed / 100) % 100);
    std::memcpy(record.TipParamVersion, text, sizeof record.TipParamVersion);
    std::memset(text, 0, sizeof text);
    std::snprintf(text, sizeof text, "MP-%04X-%02u.%02u", id, seed % 100, (seed / 100) % 100);
    std::memcpy(record.MotorParamVersion, text, sizeof record.MotorParamVersion);
    record.TipType = static_cast<std::uint16_t>(1 + random.Next() % 8);
    record.TipVolume = static_cast<std::uint16_t>(10 * (id & 0xFF));
    record.MinVolume = 100u * (1 + (id & 0x0F));
    record.VolumeStep = 10u * (1 + (id & 0x03));
    FillBytes(random, record.Area, sizeof record.Area);
    FillBytes(random, &record.NormalCoefficient[0][0], sizeof record.NormalCoefficient);
    record.NormalTotalVolume = static_cast<std::uint16_t>(random.Next());
    FillBytes(random, &record.LongCoefficient[0][0], sizeof record.LongCoefficient);
    record.LongTotalVolume = static_cast<std::uint16_t>(random.Next());
    FillBytes(random, reinterpret_cast<std::uint8_t*>(record.MotorAspirate),
              sizeof record.MotorAspirate);
    FillBytes(random, reinterpret_cast<std::uint8_t*>(record.MotorDispense),
              sizeof record.MotorDispense);
    return record;
}

}  // namespace

std::vector<std::uint16_t> DefaultVariantIds() {
    return {0x0110, 0x0130, 0x0810, 0x1220, 0xA150, 0xB550, kUnknownSampleVariant};
}

std::vector<std::uint8_t> GenerateVariantFile(const std::vector<std::uint16_t>& ids,
                                              std::uint32_t seed) {
    constexpr std::size_t kHeader = 64;
    constexpr std::size_t kRecord = sizeof(TSClQuorvanVariants_ParamRecord);
    const std::size_t size = kHeader + kRecord * ids.size() + 2;
    std::vector<std::uint8_t> file(size, 0);
    std::memcpy(file.data(), "ZK_QUORVAN_PAR1", 16);
    PutLe32(file.data() + 16, static_cast<std::uint32_t>(ids.size()));
    PutLe32(file.data() + 20, static_cast<std::uint32_t>(size));
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const TSClQuorvanVariants_ParamRecord record = MakeRecord(ids[i], seed);
        std::memcpy(file.data() + kHeader + i * kRecord, &record, kRecord);
    }
    const std::uint16_t crc = Crc16Arc(0, file.data(), size - 2);
    file[size - 2] = static_cast<std::uint8_t>(crc);
    file[size - 1] = static_cast<std::uint8_t>(crc >> 8);
    return file;
}

}  // namespace veltrin::sample
