#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "common/checksums.h"
#include "data/clquorvanvariants.h"
#include "data/filebytesource.h"
#include "hextext.h"

using namespace veltrin;

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutLe32(Bytes& file, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void Seal(Bytes& file) {
    const auto crc = Crc16Arc(0, file.data(), file.size() - 2);
    file[file.size() - 2] = static_cast<std::uint8_t>(crc);
    file[file.size() - 1] = static_cast<std::uint8_t>(crc >> 8);
}

// A well-formed file with one record per id; record i's TipType is i + 1.
Bytes MakeFile(const std::vector<std::uint16_t>& ids) {
    Bytes file(64 + 436 * ids.size() + 2, 0);
    std::memcpy(file.data(), "ZK_QUORVAN_PAR1", 16);
    PutLe32(file, 16, static_cast<std::uint32_t>(ids.size()));
    PutLe32(file, 20, static_cast<std::uint32_t>(file.size()));
    for (std::size_t i = 0; i < ids.size(); ++i) {
        std::uint8_t* record = file.data() + 64 + 436 * i;
        record[0] = static_cast<std::uint8_t>(ids[i]);
        record[1] = static_cast<std::uint8_t>(ids[i] >> 8);
        record[32] = static_cast<std::uint8_t>(i + 1);
        record[435] = 0xEE;  // last byte of MotorDispense[9].Vmax
    }
    Seal(file);
    return file;
}

int CheckBytes(const Bytes& file) {
    MemoryByteSource source(file.data(), file.size());
    ClQuorvanVariants variants;
    return variants.Check(source);
}

struct DamageCase {
    const char* Name;
    Bytes File;
    int Result;
};

class VariantFileDamageTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(VariantFileDamageTest, CheckAndLoadReportTheFirstFault) {
    const DamageCase& c = GetParam();
    EXPECT_EQ(CheckBytes(c.File), c.Result);
    MemoryByteSource source(c.File.data(), c.File.size());
    ClQuorvanVariants variants;
    EXPECT_EQ(variants.Load(source), c.Result);
    EXPECT_EQ(variants.GetCount(), c.Result == PAR_OK ? 2u : 0u);
}

Bytes Damaged(void (*spoil)(Bytes&), bool reseal) {
    Bytes file = MakeFile({0x0130, 0x0810});
    spoil(file);
    if (reseal)
        Seal(file);
    return file;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VariantFileDamageTest,
    ::testing::Values(
        DamageCase{"Good", MakeFile({0x0130, 0x0810}), PAR_OK},
        DamageCase{"TooSmall", Bytes(501, 0), PAR_ERR_TOO_SMALL},
        DamageCase{"OneRecordLessOneByte", Damaged([](Bytes& f) { f.resize(501); }, false),
                   PAR_ERR_TOO_SMALL},
        DamageCase{"LowerCaseMagic",
                   Damaged([](Bytes& f) { std::memcpy(f.data(), "zk_quorvan_par1", 15); }, true),
                   PAR_ERR_FILE_ID},
        DamageCase{"MagicWithBlanksAround",
                   Damaged(
                       [](Bytes& f) {
                           std::memcpy(f.data(), " ZK_QUORVAN_PAR1", 16);
                           for (int i = 16; i < 64; ++i)
                               f[i] = ' ';
                           PutLe32(f, 16, 2);
                           PutLe32(f, 20, static_cast<std::uint32_t>(f.size()));
                       },
                       true),
                   PAR_OK},
        DamageCase{"MagicWithTrailingText",
                   Damaged([](Bytes& f) { std::memcpy(f.data(), "ZK_QUORVAN_PAR1X", 16); }, true),
                   PAR_ERR_FILE_ID},
        // The record count is tested before either size field.
        DamageCase{"CountZero",
                   Damaged(
                       [](Bytes& f) {
                           PutLe32(f, 16, 0);
                           PutLe32(f, 20, 12345);
                       },
                       true),
                   PAR_ERR_NO_RECORD},
        DamageCase{"OneByteLonger", Damaged([](Bytes& f) { f.push_back(0); }, true),
                   PAR_ERR_FILE_SIZE},
        DamageCase{"FileSizeOneMore",
                   Damaged(
                       [](Bytes& f) {
                           f.push_back(0);
                           PutLe32(f, 20, static_cast<std::uint32_t>(f.size()));
                       },
                       true),
                   PAR_ERR_RECORD_COUNT},
        // 66 + 436 * count wraps to the file's size in 32 bits; it must not pass as valid.
        DamageCase{"CountThatWrapsIn32Bits",
                   Damaged([](Bytes& f) { PutLe32(f, 16, 2 + 0x40000000); }, true),
                   PAR_ERR_RECORD_COUNT},
        DamageCase{"FlippedDataByte", Damaged([](Bytes& f) { f[100] ^= 0x01; }, false),
                   PAR_ERR_CRC},
        DamageCase{"FlippedHeaderTailByte", Damaged([](Bytes& f) { f[40] ^= 0x80; }, false),
                   PAR_ERR_CRC},
        DamageCase{"SwappedCrcBytes",
                   Damaged([](Bytes& f) { std::swap(f[f.size() - 1], f[f.size() - 2]); }, false),
                   PAR_ERR_CRC}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(VariantFileCrc, SwappedEqualCrcBytesStillMatch) {
    // Find ids whose file CRC has two equal bytes; swapping them changes nothing.
    for (std::uint16_t id = 0; id < 0xFFFF; ++id) {
        Bytes file = MakeFile({id});
        if (file[file.size() - 1] != file[file.size() - 2])
            continue;
        std::swap(file[file.size() - 1], file[file.size() - 2]);
        EXPECT_EQ(CheckBytes(file), PAR_OK);
        return;
    }
    GTEST_SKIP() << "no id gives a CRC with equal bytes";
}

TEST(VariantFileLoad, FailedLoadEmptiesAnEarlierGoodOne) {
    const Bytes good = MakeFile({0x0130, 0x0810, 0xB550});
    Bytes bad = good;
    bad[200] ^= 0xFF;
    ClQuorvanVariants variants;
    MemoryByteSource goodSource(good.data(), good.size());
    ASSERT_EQ(variants.Load(goodSource), PAR_OK);
    ASSERT_EQ(variants.GetCount(), 3u);
    MemoryByteSource badSource(bad.data(), bad.size());
    EXPECT_EQ(variants.Load(badSource), PAR_ERR_CRC);
    EXPECT_EQ(variants.GetCount(), 0u);
    TSClQuorvanVariants_ParamRecord record;
    EXPECT_FALSE(variants.FindVariant(0x0130, record));
}

TEST(VariantFileLoad, RecordsKeepFileOrderAndEveryByte) {
    const Bytes file = MakeFile({0x0130, 0x0810, 0xB550});
    ClQuorvanVariants variants;
    MemoryByteSource source(file.data(), file.size());
    ASSERT_EQ(variants.Load(source), PAR_OK);
    ASSERT_EQ(variants.GetCount(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(std::memcmp(&variants.GetRecord(i), file.data() + 64 + 436 * i, 436), 0);
        EXPECT_EQ(variants.GetRecord(i).TipType, i + 1);
        EXPECT_EQ(variants.GetRecord(i).MotorDispense[9].Vmax, 0xEE00);
    }
    EXPECT_THROW(variants.GetRecord(3), std::out_of_range);
    variants.Clear();
    EXPECT_EQ(variants.GetCount(), 0u);
}

TEST(VariantFileLoad, ReadsFromAFileAsFromMemory) {
    const Bytes bytes = MakeFile({0x0110, 0x1220});
    auto file = testutil::TempFileWith(std::string(bytes.begin(), bytes.end()));
    FileByteSource source(file.get());
    EXPECT_EQ(source.Size(), bytes.size());
    ClQuorvanVariants variants;
    EXPECT_EQ(variants.Load(source), PAR_OK);
    EXPECT_EQ(variants.GetCount(), 2u);
    EXPECT_EQ(variants.GetRecord(1).VariantId, 0x1220);
}

TEST(VariantFind, FirstMatchInFileOrderOtherwiseZeroedRecord) {
    const Bytes file = MakeFile({0x0110, 0x0130, 0x0110});
    ClQuorvanVariants variants;
    MemoryByteSource source(file.data(), file.size());
    ASSERT_EQ(variants.Load(source), PAR_OK);

    TSClQuorvanVariants_ParamRecord record;
    ASSERT_TRUE(variants.FindVariant(0x0110, record));
    EXPECT_EQ(record.TipType, 1);  // the earlier of the two duplicates

    std::memset(&record, 0xAB, sizeof record);
    for (std::int32_t id : {0x10110, -1, 0x0120, 0x10000 + 0x0130}) {
        EXPECT_FALSE(variants.FindVariant(id, record)) << std::hex << id;
        const Bytes zero(sizeof record, 0);
        EXPECT_EQ(std::memcmp(&record, zero.data(), sizeof record), 0);
    }
}

TEST(VariantTexts, EveryCodeHasItsText) {
    EXPECT_STREQ(ClQuorvanVariants::GetResultText(PAR_OK), "No error !");
    EXPECT_STREQ(ClQuorvanVariants::GetResultText(PAR_ERR_TOO_SMALL), "File to small !");
    EXPECT_STREQ(ClQuorvanVariants::GetResultText(PAR_ERR_CRC), "Invalid CRC-Checksum !");
}

}  // namespace
