#include <cstdio>
#include <memory>

#include "sampledata.h"

namespace veltrin::sample {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool WriteFile(const std::string& path, const void* data, std::size_t size) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    if (std::fwrite(data, 1, size, file.get()) != size)
        return false;
    return std::fclose(file.release()) == 0;
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
