#include "records/variantrecords.h"

#include <cstring>

namespace veltrin {
namespace {

// Device records are little-endian whatever the host is.
void PutUint16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void PutUint32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// The device reads a 15-byte version field as a zero-terminated text, so the last byte is
// always the terminator, even when the variant file filled all fifteen.
void PutVersionText(std::uint8_t* at, const char (&text)[15]) {
    std::memcpy(at, text, sizeof text);
    at[sizeof text - 1] = 0;
}

constexpr std::size_t kMotorRowCount = 20;
constexpr std::size_t kMotorRowsOffset = 18;
constexpr std::size_t kMotorRowSize = 14;
constexpr std::size_t kVmaxOffset = kMotorRowsOffset + kMotorRowCount * kMotorRowSize;

const TSClQuorvanVariants_MotorRow& MotorRow(const TSClQuorvanVariants_ParamRecord& record,
                                             std::size_t k) {
    return k < 10 ? record.MotorAspirate[k] : record.MotorDispense[k - 10];
}

}  // namespace

ConfigRecordImage MakeConfigRecord(const TSClQuorvanVariants_ParamRecord& record) {
    ConfigRecordImage image{};
    std::uint8_t* out = image.data();
    PutUint16(out + 0, record.VariantId);
    PutVersionText(out + 2, record.TipParamVersion);
    PutUint16(out + 24, record.TipType);
    PutUint16(out + 26, record.TipVolume);
    PutUint32(out + 28, record.MinVolume);
    PutUint32(out + 32, record.VolumeStep);
    std::memcpy(out + 40, record.Area, sizeof record.Area);
    std::memcpy(out + 48, record.NormalCoefficient, sizeof record.NormalCoefficient);
    PutUint16(out + 88, record.NormalTotalVolume);
    std::memcpy(out + 96, record.LongCoefficient, sizeof record.LongCoefficient);
    PutUint16(out + 136, record.LongTotalVolume);
    return image;
}

ParamRecordImage MakeParamRecord(const TSClQuorvanVariants_ParamRecord& record) {
    static_assert(kVmaxOffset + 2 * kMotorRowCount == kParamImageSize);
    ParamRecordImage image{};
    std::uint8_t* out = image.data();
    PutUint16(out + 0, record.VariantId);
    PutVersionText(out + 2, record.MotorParamVersion);
    for (std::size_t k = 0; k < kMotorRowCount; ++k) {
        const TSClQuorvanVariants_MotorRow& row = MotorRow(record, k);
        std::uint8_t* at = out + kMotorRowsOffset + kMotorRowSize * k;
        PutUint16(at + 0, row.ARise);
        PutUint16(at + 2, row.AFall);
        PutUint16(at + 4, row.FollowUp);
        const std::uint8_t gains[7] = {row.Kp,     row.Kd,     row.KpRise, row.KdRise,
                                       row.KpFall, row.KdFall, row.Diff};
        std::memcpy(at + 6, gains, sizeof gains);
        // at[13] stays zero: the device's rows are one byte shorter than the file's.
        PutUint16(out + kVmaxOffset + 2 * k, row.Vmax);
    }
    return image;
}

}  // namespace veltrin
