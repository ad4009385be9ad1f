#include <openssl/evp.h>

#include <algorithm>

#include "crypto/sha256.h"

namespace veltrin {

struct Sha256::Impl {
    EVP_MD_CTX* Context = nullptr;
    bool Failed = false;
};

Sha256::Sha256() : impl_(std::make_unique<Impl>()) {
    impl_->Context = EVP_MD_CTX_new();
    impl_->Failed =
        impl_->Context == nullptr || EVP_DigestInit_ex(impl_->Context, EVP_sha256(), nullptr) != 1;
}

Sha256::~Sha256() {
    EVP_MD_CTX_free(impl_->Context);
}

void Sha256::Update(const void* data, std::size_t size) {
    if (!impl_->Failed && size > 0)
        impl_->Failed = EVP_DigestUpdate(impl_->Context, data, size) != 1;
}

bool Sha256::Final(unsigned char digest[32]) {
    unsigned char full[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    const bool ok =
        !impl_->Failed && EVP_DigestFinal_ex(impl_->Context, full, &length) == 1 && length == 32;
    impl_->Failed = true;  // finalised: further updates are ignored
    if (ok)
        std::copy(full, full + 32, digest);
    return ok;
}

}  // namespace veltrin
