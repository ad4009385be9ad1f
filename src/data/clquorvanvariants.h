#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace veltrin {

// Result codes of the variant parameter file check and load.
enum VariantFileResult : int {
    PAR_OK = 0,
    PAR_ERR_TOO_SMALL = 4,
    PAR_ERR_FILE_ID = 5,
    PAR_ERR_FILE_SIZE = 6,
    PAR_ERR_RECORD_COUNT = 7,
    PAR_ERR_NO_RECORD = 8,
    PAR_ERR_CRC = 9,
};

#pragma pack(push, 1)
struct TSClQuorvanVariants_MotorRow {
    std::uint16_t ARise;
    std::uint16_t AFall;
    std::uint16_t FollowUp;
    std::uint8_t Kp;
    std::uint8_t Kd;
    std::uint8_t KpRise;
    std::uint8_t KdRise;
    std::uint8_t KpFall;
    std::uint8_t KdFall;
    std::uint8_t Diff;
    std::uint16_t Vmax;
};

// One pipette variant, 436 bytes, packed, little-endian on disk.
struct TSClQuorvanVariants_ParamRecord {
    std::uint16_t VariantId;
    char TipParamVersion[15];
    char MotorParamVersion[15];
    std::uint16_t TipType;
    std::uint16_t TipVolume;
    std::uint32_t MinVolume;
    std::uint32_t VolumeStep;
    std::uint8_t Area[8];
    std::uint8_t NormalCoefficient[5][8];
    std::uint16_t NormalTotalVolume;
    std::uint8_t LongCoefficient[5][8];
    std::uint16_t LongTotalVolume;
    TSClQuorvanVariants_MotorRow MotorAspirate[10];
    TSClQuorvanVariants_MotorRow MotorDispense[10];
};
#pragma pack(pop)

static_assert(sizeof(TSClQuorvanVariants_MotorRow) == 15);
static_assert(sizeof(TSClQuorvanVariants_ParamRecord) == 436);

// A readable, seekable byte source that knows its size (a file or memory).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    virtual bool Seek(std::uint64_t position) = 0;
    // Reads up to count bytes; returns how many were read.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
};

// A byte source over memory the caller keeps alive.
class MemoryByteSource : public ByteSource {
public:
    MemoryByteSource(const std::uint8_t* data, std::size_t size);
    std::uint64_t Size() const override;
    bool Seek(std::uint64_t position) override;
    std::size_t Read(void* buffer, std::size_t count) override;

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// The variant parameter file: checked (magic, sizes, record count, CRC-16/ARC), held in memory,
// searched by variant id. A failed load leaves it empty, never half-filled.
class ClQuorvanVariants {
public:
    int Check(ByteSource& source);
    int Load(ByteSource& source);
    void Clear();
    std::size_t GetCount() const;
    // Out-of-range indexes throw std::out_of_range; the update flow never asks for one.
    const TSClQuorvanVariants_ParamRecord& GetRecord(std::size_t index) const;
    bool FindVariant(std::int32_t variantId, TSClQuorvanVariants_ParamRecord& record) const;
    static const char* GetResultText(int code);

private:
    std::vector<TSClQuorvanVariants_ParamRecord> records_;
};

}  // namespace veltrin
