#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "transport/ircommparameters.h"

using namespace veltrin;

namespace {

struct WalkCase {
    const char* name;
    std::vector<std::uint8_t> sequence;
    bool nineWire;
};

class NineWireWalkTest : public ::testing::TestWithParam<WalkCase> {};

}  // namespace

TEST_P(NineWireWalkTest, FindsServiceTypeBitOnlyInsideTheSequence) {
    const WalkCase& c = GetParam();
    // Bytes after the sequence would satisfy the test: the walk must not look at them.
    std::vector<std::uint8_t> buffer = c.sequence;
    buffer.insert(buffer.end(), {0x00, 0x01, 0x04, 0x04});
    EXPECT_EQ(SupportsNineWire(buffer.data(), c.sequence.size()), c.nineWire);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, NineWireWalkTest,
    ::testing::Values(WalkCase{"ServiceTypeFirst", {0x00, 0x01, 0x04}, true},
                      WalkCase{"NineAndThreeWire", {0x00, 0x01, 0x06}, true},
                      WalkCase{
                          "PortTypeBeforeServiceType", {0x01, 0x01, 0x02, 0x00, 0x01, 0x04}, true},
                      WalkCase{"AfterALongerTriplet",
                               {0x10, 0x02, 0xAA, 0xBB, 0x01, 0x01, 0x02, 0x00, 0x01, 0x04},
                               true},
                      WalkCase{"ServiceTypeWithoutBit", {0x00, 0x01, 0x02}, false},
                      WalkCase{"BitInAnotherParameter", {0x01, 0x01, 0x04}, false},
                      WalkCase{"BitOnlyInSecondValueByte", {0x00, 0x02, 0x01, 0x04}, false},
                      WalkCase{"EmptyServiceTypeValue", {0x00, 0x00, 0x04}, false},
                      WalkCase{"LengthRunsPastTheEnd", {0x01, 0xFF, 0x00, 0x01, 0x04}, false},
                      WalkCase{"TruncatedLastTriplet", {0x01, 0x01, 0x02, 0x00, 0x01}, false},
                      WalkCase{"TooShort", {0x00, 0x01}, false}, WalkCase{"Empty", {}, false}),
    [](const ::testing::TestParamInfo<WalkCase>& info) { return info.param.name; });
