#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "records/variantrecords.h"

using namespace veltrin;

namespace {

// A variant record whose every field holds values that differ per field and per byte, so a
// byte landing at the wrong offset cannot go unnoticed.
TSClQuorvanVariants_ParamRecord KnownRecord() {
    TSClQuorvanVariants_ParamRecord r{};
    r.VariantId = 0x1234;
    std::memcpy(r.TipParamVersion, "TIP-ABCDEFGHIJK", 15);    // 15 characters, no terminator
    std::memcpy(r.MotorParamVersion, "MOT-0123456789X", 15);  // likewise
    r.TipType = 0x2122;
    r.TipVolume = 0x2324;
    r.MinVolume = 0x25262728;
    r.VolumeStep = 0x292A2B2C;
    for (int i = 0; i < 8; ++i) {
        r.Area[i] = static_cast<std::uint8_t>(0x30 + i);
    }
    for (int c = 0; c < 5; ++c) {
        for (int i = 0; i < 8; ++i) {
            r.NormalCoefficient[c][i] = static_cast<std::uint8_t>(0x40 + 8 * c + i);
            r.LongCoefficient[c][i] = static_cast<std::uint8_t>(0x90 + 8 * c + i);
        }
    }
    r.NormalTotalVolume = 0x6A6B;
    r.LongTotalVolume = 0xBABB;
    for (int k = 0; k < 20; ++k) {
        TSClQuorvanVariants_MotorRow& row = k < 10 ? r.MotorAspirate[k] : r.MotorDispense[k - 10];
        row.ARise = static_cast<std::uint16_t>(0x0100 * k + 0x01);
        row.AFall = static_cast<std::uint16_t>(0x0100 * k + 0x02);
        row.FollowUp = static_cast<std::uint16_t>(0x0100 * k + 0x03);
        row.Kp = static_cast<std::uint8_t>(0x10 * (k % 8) + 4);
        row.Kd = static_cast<std::uint8_t>(0x10 * (k % 8) + 5);
        row.KpRise = static_cast<std::uint8_t>(0x10 * (k % 8) + 6);
        row.KdRise = static_cast<std::uint8_t>(0x10 * (k % 8) + 7);
        row.KpFall = static_cast<std::uint8_t>(0x10 * (k % 8) + 8);
        row.KdFall = static_cast<std::uint8_t>(0x10 * (k % 8) + 9);
        row.Diff = static_cast<std::uint8_t>(0x10 * (k % 8) + 10);
        row.Vmax = static_cast<std::uint16_t>(0xF000 + k);
    }
    return r;
}

struct Field {
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> Text(const char* text, std::size_t size) {
    std::vector<std::uint8_t> bytes(size, 0);
    std::memcpy(bytes.data(), text, std::strlen(text));
    return bytes;
}

std::vector<std::uint8_t> Range(std::uint8_t first, std::size_t count) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < count; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(first + i));
    }
    return bytes;
}

// Checks every listed field and that every byte outside them is zero.
template <std::size_t N>
void ExpectLayout(const std::array<std::uint8_t, N>& image, const std::vector<Field>& fields) {
    std::set<std::size_t> covered;
    for (const Field& f : fields) {
        for (std::size_t i = 0; i < f.bytes.size(); ++i) {
            ASSERT_LT(f.offset + i, N);
            EXPECT_EQ(image[f.offset + i], f.bytes[i]) << "byte " << f.offset + i;
            covered.insert(f.offset + i);
        }
    }
    for (std::size_t i = 0; i < N; ++i) {
        if (covered.count(i) == 0) {
            EXPECT_EQ(image[i], 0) << "gap byte " << i;
        }
    }
}

TEST(VariantRecordsTest, ConfigRecordAlignsThePackedFieldsAndZeroesTheGaps) {
    ExpectLayout(MakeConfigRecord(KnownRecord()),
                 {
                     {0, {0x34, 0x12}},
                     // 15 characters arrive as the first 14 and a terminating zero (byte 16)
                     {2, Text("TIP-ABCDEFGHIJ", 15)},
                     {24, {0x22, 0x21}},
                     {26, {0x24, 0x23}},
                     {28, {0x28, 0x27, 0x26, 0x25}},
                     {32, {0x2C, 0x2B, 0x2A, 0x29}},
                     {40, Range(0x30, 8)},
                     {48, Range(0x40, 40)},
                     {88, {0x6B, 0x6A}},
                     {96, Range(0x90, 40)},
                     {136, {0xBB, 0xBA}},
                 });
}

TEST(VariantRecordsTest, ParamRecordSplitsTheMotorRowsFromTheirVmax) {
    std::vector<Field> fields = {
        {0, {0x34, 0x12}},
        {2, Text("MOT-0123456789", 15)},
    };
    for (std::size_t k = 0; k < 20; ++k) {
        const std::uint8_t hi = static_cast<std::uint8_t>(k);
        const std::uint8_t g = static_cast<std::uint8_t>(0x10 * (k % 8));
        fields.push_back({18 + 14 * k,
                          {0x01, hi, 0x02, hi, 0x03, hi, static_cast<std::uint8_t>(g + 4),
                           static_cast<std::uint8_t>(g + 5), static_cast<std::uint8_t>(g + 6),
                           static_cast<std::uint8_t>(g + 7), static_cast<std::uint8_t>(g + 8),
                           static_cast<std::uint8_t>(g + 9), static_cast<std::uint8_t>(g + 10)}});
        fields.push_back({298 + 2 * k, {static_cast<std::uint8_t>(k), 0xF0}});
    }
    ExpectLayout(MakeParamRecord(KnownRecord()), fields);
}

TEST(VariantRecordsTest, ShortVersionTextsKeepTheirZeroPadding) {
    TSClQuorvanVariants_ParamRecord r = KnownRecord();
    std::memset(r.TipParamVersion, 0, sizeof r.TipParamVersion);
    std::memcpy(r.TipParamVersion, "T1", 2);
    std::memset(r.MotorParamVersion, 0, sizeof r.MotorParamVersion);
    std::memcpy(r.MotorParamVersion, "M22", 3);
    const ConfigRecordImage config = MakeConfigRecord(r);
    const ParamRecordImage param = MakeParamRecord(r);
    EXPECT_EQ(std::vector<std::uint8_t>(config.begin() + 2, config.begin() + 17), Text("T1", 15));
    EXPECT_EQ(std::vector<std::uint8_t>(param.begin() + 2, param.begin() + 17), Text("M22", 15));
}

}  // namespace
