// The peer's IrCOMM "Parameters" attribute: any bytes, any claimed lengths. The input is copied
// into a buffer of exactly its size so that a read past the sequence is caught.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "transport/ircommparameters.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> sequence(data, data + size);
    veltrin::SupportsNineWire(sequence.data(), sequence.size());
    return 0;
}
