// Feeds arbitrary bytes to the variant parameter file check and load, from memory and from a
// file. Both must agree; a failed load must leave the table empty; nothing may crash.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "data/clquorvanvariants.h"
#include "data/filebytesource.h"

using namespace veltrin;

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ClQuorvanVariants variants;
    MemoryByteSource memory(data, size);
    const int checked = variants.Check(memory);
    const int loaded = variants.Load(memory);
    Check(checked == loaded);
    if (loaded == PAR_OK) {
        Check(variants.GetCount() * 436 + 66 == size);
        TSClQuorvanVariants_ParamRecord record;
        const bool found = variants.FindVariant(variants.GetRecord(0).VariantId, record);
        Check(found && record.VariantId == variants.GetRecord(0).VariantId);
    } else {
        Check(variants.GetCount() == 0);
    }

    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr)
        return 0;
    FileByteSource source(file);
    ClQuorvanVariants fromFile;
    Check(fromFile.Load(source) == loaded);
    Check(fromFile.GetCount() == variants.GetCount());
    std::fclose(file);
    return 0;
}
