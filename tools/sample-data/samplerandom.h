#pragma once

#include <cstdint>

namespace veltrin::sample {

// splitmix64: small, fast, and the same sequence on every platform for a given seed, which is
// all sample data needs.
class SampleRandom {
public:
    SampleRandom(std::uint32_t seed, std::uint32_t stream)
        : state_((std::uint64_t{seed} << 32) ^ (std::uint64_t{stream} * 0x9E3779B97F4A7C15ull)) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint8_t Byte() { return static_cast<std::uint8_t>(Next() >> 56); }

private:
    std::uint64_t state_;
};

}  // namespace veltrin::sample
