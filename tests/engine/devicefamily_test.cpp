#include "engine/devicefamily.h"

#include <gtest/gtest.h>

#include <set>

namespace veltrin {
namespace {

TEST(DeviceFamilyTest, OnlyTheTwoUsbFamiliesAreSupported) {
    const std::set<int> quorvan = {9, 10, 11};
    const std::set<int> tarnovelle = {6, 7};
    for (int type = -1; type <= 20; ++type) {
        SCOPED_TRACE(type);
        EXPECT_EQ(IsQuorvanOtgType(type), quorvan.count(type) == 1);
        EXPECT_EQ(IsTarnovelleK7Type(type), tarnovelle.count(type) == 1);
        EXPECT_EQ(IsSupportedType(type), quorvan.count(type) + tarnovelle.count(type) == 1);
    }
}

TEST(DeviceFamilyTest, BatteryAcceptedOnlyInUsableStates) {
    const std::set<int> usable = {1, 2, 3, 4, 7, 8, 9, 10, 11, 12};
    for (int status = -1; status <= 17; ++status) {
        SCOPED_TRACE(status);
        EXPECT_EQ(IsBatteryOk(status), usable.count(status) == 1);
    }
}

TEST(DeviceFamilyTest, ExactlyTheFortyFourVariantsAreKnown) {
    int known = 0;
    for (std::int32_t id = 0; id <= 0xFFFF; ++id) {
        if (IsKnownVariant(id))
            ++known;
    }
    EXPECT_EQ(known, 44);
    for (std::int32_t id : {0x0110, 0x0129, 0x0162, 0x0808, 0x1240, 0xA130, 0xB3A0, 0xB750}) {
        EXPECT_TRUE(IsKnownVariant(id)) << std::hex << id;
    }
    for (std::int32_t id : {0x0000, 0x0111, 0x0809, 0xB751, 0xFFFF, 0x10130, -1}) {
        EXPECT_FALSE(IsKnownVariant(id)) << std::hex << id;
    }
}

}  // namespace
}  // namespace veltrin
