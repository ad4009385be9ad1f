#pragma once

#include <bitset>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace veltrin {

// One device memory as the host wrote it: sparse 4 KiB pages, each byte remembering whether it
// was written. Unwritten bytes read as erased flash (0xFF), so an image read back compares
// directly with a firmware image whose gaps were filled with 0xFF.
class SimMemory {
public:
    static constexpr std::uint32_t kPageSize = 4096;
    static constexpr std::uint8_t kErased = 0xFF;

    struct Span {
        std::uint32_t Start = 0;
        std::uint32_t Count = 0;
    };

    SimMemory() = default;
    SimMemory(const SimMemory& other);
    SimMemory& operator=(const SimMemory& other);
    SimMemory(SimMemory&&) noexcept = default;
    SimMemory& operator=(SimMemory&&) noexcept = default;

    // Stores count bytes from address on; addresses wrap at 4 GiB never (the caller checks).
    void Write(std::uint32_t address, const std::uint8_t* data, std::uint32_t count);
    // count bytes from address on, erased bytes where nothing was written.
    std::vector<std::uint8_t> Read(std::uint32_t address, std::uint32_t count) const;
    bool IsWritten(std::uint32_t address) const;
    // Contiguous written runs in address order.
    std::vector<Span> WrittenSpans() const;
    std::uint64_t WrittenByteCount() const;
    bool Empty() const { return pages_.empty(); }
    void Clear() { pages_.clear(); }

private:
    struct Page {
        std::uint8_t Data[kPageSize];
        std::bitset<kPageSize> Written;
    };
    std::map<std::uint32_t, std::unique_ptr<Page>> pages_;
};

}  // namespace veltrin
