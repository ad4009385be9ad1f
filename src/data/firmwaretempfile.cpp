#include "data/firmwaretempfile.h"

#include "data/anonymoustempfile.h"

namespace veltrin {

FirmwareTempFile::FirmwareTempFile(const std::string& text) : file_(OpenAnonymousTempFile()) {
    if (file_ == nullptr)
        return;
    const bool written =
        std::fwrite(text.data(), 1, text.size(), file_) == text.size() && std::fflush(file_) == 0;
    if (!written)
        Close();
}

FirmwareTempFile::~FirmwareTempFile() {
    Close();
}

void FirmwareTempFile::Close() {
    if (file_ != nullptr)
        std::fclose(file_);
    file_ = nullptr;
}

}  // namespace veltrin
