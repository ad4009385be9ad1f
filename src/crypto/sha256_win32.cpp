#include <windows.h>

#include <bcrypt.h>

#include "crypto/sha256.h"

namespace veltrin {

struct Sha256::Impl {
    BCRYPT_ALG_HANDLE Algorithm = nullptr;
    BCRYPT_HASH_HANDLE Hash = nullptr;
    bool Failed = false;
};

Sha256::Sha256() : impl_(std::make_unique<Impl>()) {
    impl_->Failed = !BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(
                        &impl_->Algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
                    !BCRYPT_SUCCESS(BCryptCreateHash(impl_->Algorithm, &impl_->Hash, nullptr, 0,
                                                     nullptr, 0, 0));
}

Sha256::~Sha256() {
    if (impl_->Hash != nullptr)
        BCryptDestroyHash(impl_->Hash);
    if (impl_->Algorithm != nullptr)
        BCryptCloseAlgorithmProvider(impl_->Algorithm, 0);
}

void Sha256::Update(const void* data, std::size_t size) {
    // BCryptHashData takes a 32-bit length: feed big buffers in pieces.
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (!impl_->Failed && size > 0) {
        const ULONG piece = size > 0x40000000u ? 0x40000000u : static_cast<ULONG>(size);
        impl_->Failed =
            !BCRYPT_SUCCESS(BCryptHashData(impl_->Hash, const_cast<PUCHAR>(bytes), piece, 0));
        bytes += piece;
        size -= piece;
    }
}

bool Sha256::Final(unsigned char digest[32]) {
    const bool ok = !impl_->Failed && BCRYPT_SUCCESS(BCryptFinishHash(impl_->Hash, digest, 32, 0));
    impl_->Failed = true;  // finalised: further updates are ignored
    return ok;
}

}  // namespace veltrin
