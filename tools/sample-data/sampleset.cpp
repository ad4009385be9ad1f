#include <fstream>

#include "common/utf8path.h"
#include "sampledata.h"

namespace veltrin::sample {

namespace {

// The path is UTF-8 (from the command line); PathFromUtf8 keeps every character on Windows.
bool WriteFile(const std::string& path, const void* data, std::size_t size) {
    std::ofstream file(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    file.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    file.close();
    return !file.fail();
}

}  // namespace

std::string FirmwareFileName(FirmwareFamily family, const std::string& version) {
    return std::string(family == FirmwareFamily::QuorvanOtg ? "Quorvan_OTG_V" : "Tarnovelle_K7_V") +
           version + ".hex";
}

std::string WriteSampleSet(const std::string& directory, const SampleSetOptions& options) {
    std::string index;
    const struct {
        bool Wanted;
        FirmwareFamily Family;
    } families[] = {{options.WithQuorvan, FirmwareFamily::QuorvanOtg},
                    {options.WithTarnovelle, FirmwareFamily::TarnovelleK7}};
    for (const auto& entry : families) {
        if (!entry.Wanted)
            continue;
        FirmwareOptions firmware = options.Firmware;
        firmware.Sizes = ResolveSizes(options, entry.Family);
        const std::string name = FirmwareFileName(entry.Family, firmware.Version);
        const std::string text = GenerateFirmwareHex(entry.Family, firmware);
        if (!WriteFile(directory + "/" + name, text.data(), text.size())) {
            return "cannot write " + directory + "/" + name;
        }
        index += name + "\n";
    }
    if (options.WithVariants) {
        const auto file = GenerateVariantFile(DefaultVariantIds(), options.Firmware.Seed);
        if (!WriteFile(directory + "/" + kVariantFileName, file.data(), file.size())) {
            return std::string("cannot write ") + directory + "/" + kVariantFileName;
        }
        index += std::string(kVariantFileName) + "\n";
    }
    if (!WriteFile(directory + "/" + kIndexFileName, index.data(), index.size())) {
        return std::string("cannot write ") + directory + "/" + kIndexFileName;
    }
    return std::string();
}

}  // namespace veltrin::sample
