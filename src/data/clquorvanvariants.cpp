#include "data/clquorvanvariants.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "data/variantfileformat.h"

namespace veltrin {

// The layout is the file's; a compiler that moved a field would silently shift every value.
static_assert(offsetof(TSClQuorvanVariants_ParamRecord, VariantId) == 0);
static_assert(offsetof(TSClQuorvanVariants_ParamRecord, TipParamVersion) == 2);
static_assert(offsetof(TSClQuorvanVariants_ParamRecord, MotorParamVersion) == 17);
static_assert(offsetof(TSClQuorvanVariants_ParamRecord, TipType) == 32);
static_assert(offsetof(TSClQuorvanVariants_ParamRecord, TipVolume) == 34);
static_assert(offsetof(TSClQuorvanVariants_ParamRecord, MinVolume) == 36);
static_assert(offsetof(TSClQuorvanVariants_ParamRecord, VolumeStep) == 40);
static_assert(offsetof(TSClQuorvanVariants_ParamRecord, Area) == 44);
static_assert(offsetof(TSClQuorvanVariants_ParamRecord, NormalCoefficient) == 52);
static_assert(offsetof(TSClQuorvanVariants_ParamRecord, NormalTotalVolume) == 92);
static_assert(offsetof(TSClQuorvanVariants_ParamRecord, LongCoefficient) == 94);
static_assert(offsetof(TSClQuorvanVariants_ParamRecord, LongTotalVolume) == 134);
static_assert(offsetof(TSClQuorvanVariants_ParamRecord, MotorAspirate) == 136);
static_assert(offsetof(TSClQuorvanVariants_ParamRecord, MotorDispense) == 286);
static_assert(offsetof(TSClQuorvanVariants_MotorRow, ARise) == 0);
static_assert(offsetof(TSClQuorvanVariants_MotorRow, AFall) == 2);
static_assert(offsetof(TSClQuorvanVariants_MotorRow, FollowUp) == 4);
static_assert(offsetof(TSClQuorvanVariants_MotorRow, Kp) == 6);
static_assert(offsetof(TSClQuorvanVariants_MotorRow, Kd) == 7);
static_assert(offsetof(TSClQuorvanVariants_MotorRow, KpRise) == 8);
static_assert(offsetof(TSClQuorvanVariants_MotorRow, KdRise) == 9);
static_assert(offsetof(TSClQuorvanVariants_MotorRow, KpFall) == 10);
static_assert(offsetof(TSClQuorvanVariants_MotorRow, KdFall) == 11);
static_assert(offsetof(TSClQuorvanVariants_MotorRow, Diff) == 12);
static_assert(offsetof(TSClQuorvanVariants_MotorRow, Vmax) == 13);

int ClQuorvanVariants::Load(ByteSource& source) {
    Clear();
    const int checked = Check(source);
    if (checked != PAR_OK)
        return checked;

    VariantFileHeader header;
    const int read = ReadVariantFileHeader(source, header);
    if (read != PAR_OK)
        return read;
    // Check has tied the count to the source's real size, so this allocation is bounded by it.
    try {
        records_.resize(header.RecordCount);
    } catch (const std::bad_alloc&) {
        Clear();
        return PAR_ERR_RECORD_COUNT;
    }
    for (auto& record : records_) {
        if (source.Read(&record, sizeof record) != sizeof record) {
            Clear();  // never half-filled
            return PAR_ERR_FILE_SIZE;
        }
    }
    return PAR_OK;
}

void ClQuorvanVariants::Clear() {
    records_.clear();
    records_.shrink_to_fit();
}

std::size_t ClQuorvanVariants::GetCount() const {
    return records_.size();
}

const TSClQuorvanVariants_ParamRecord& ClQuorvanVariants::GetRecord(std::size_t index) const {
    return records_.at(index);
}

bool ClQuorvanVariants::FindVariant(std::int32_t variantId,
                                    TSClQuorvanVariants_ParamRecord& record) const {
    if (variantId >= 0 && variantId <= 0xFFFF) {
        for (const auto& candidate : records_) {
            if (candidate.VariantId == variantId) {
                record = candidate;
                return true;
            }
        }
    }
    std::memset(&record, 0, sizeof record);
    return false;
}

const char* ClQuorvanVariants::GetResultText(int code) {
    switch (code) {
        case PAR_OK:
            return "No error !";
        case PAR_ERR_TOO_SMALL:
            return "File to small !";
        case PAR_ERR_FILE_ID:
            return "Invalid file-id !";
        case PAR_ERR_FILE_SIZE:
            return "Invalid file size !";
        case PAR_ERR_RECORD_COUNT:
            return "Invalid count of variant records !";
        case PAR_ERR_NO_RECORD:
            return "No variant record available !";
        case PAR_ERR_CRC:
            return "Invalid CRC-Checksum !";
        default:
            return "";
    }
}

}  // namespace veltrin
