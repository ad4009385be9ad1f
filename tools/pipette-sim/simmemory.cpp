#include "simmemory.h"

#include <algorithm>
#include <cstring>

namespace veltrin {

SimMemory::SimMemory(const SimMemory& other) {
    *this = other;
}

SimMemory& SimMemory::operator=(const SimMemory& other) {
    if (this == &other)
        return *this;
    pages_.clear();
    for (const auto& [index, page] : other.pages_) {
        pages_.emplace(index, std::make_unique<Page>(*page));
    }
    return *this;
}

void SimMemory::Write(std::uint32_t address, const std::uint8_t* data, std::uint32_t count) {
    std::uint64_t at = address;
    const std::uint64_t end = at + count;
    while (at < end) {
        const auto index = static_cast<std::uint32_t>(at / kPageSize);
        const auto offset = static_cast<std::uint32_t>(at % kPageSize);
        const auto n =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(kPageSize - offset, end - at));
        std::unique_ptr<Page>& page = pages_[index];
        if (!page) {
            page = std::make_unique<Page>();
            std::memset(page->Data, kErased, kPageSize);
        }
        std::memcpy(page->Data + offset, data + (at - address), n);
        for (std::uint32_t i = 0; i < n; ++i)
            page->Written.set(offset + i);
        at += n;
    }
}

std::vector<std::uint8_t> SimMemory::Read(std::uint32_t address, std::uint32_t count) const {
    std::vector<std::uint8_t> bytes(count, kErased);
    std::uint64_t at = address;
    const std::uint64_t end = std::min<std::uint64_t>(at + count, std::uint64_t{1} << 32);
    while (at < end) {
        const auto index = static_cast<std::uint32_t>(at / kPageSize);
        const auto offset = static_cast<std::uint32_t>(at % kPageSize);
        const auto n =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(kPageSize - offset, end - at));
        const auto found = pages_.find(index);
        if (found != pages_.end()) {
            std::memcpy(bytes.data() + (at - address), found->second->Data + offset, n);
        }
        at += n;
    }
    return bytes;
}

bool SimMemory::IsWritten(std::uint32_t address) const {
    const auto found = pages_.find(address / kPageSize);
    return found != pages_.end() && found->second->Written.test(address % kPageSize);
}

std::vector<SimMemory::Span> SimMemory::WrittenSpans() const {
    std::vector<Span> spans;
    for (const auto& [index, page] : pages_) {
        const std::uint64_t base = std::uint64_t{index} * kPageSize;
        for (std::uint32_t i = 0; i < kPageSize; ++i) {
            if (!page->Written.test(i))
                continue;
            const auto address = static_cast<std::uint32_t>(base + i);
            if (!spans.empty() &&
                std::uint64_t{spans.back().Start} + spans.back().Count == address) {
                ++spans.back().Count;
            } else {
                spans.push_back({address, 1});
            }
        }
    }
    return spans;
}

std::uint64_t SimMemory::WrittenByteCount() const {
    std::uint64_t total = 0;
    for (const auto& [index, page] : pages_)
        total += page->Written.count();
    return total;
}

}  // namespace veltrin
