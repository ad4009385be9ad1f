#include "download/bodysink.h"

#include "download/httpsclient.h"

namespace veltrin {

bool BodySink::Append(const char* data, std::size_t size) {
    if (refusal_ != HTTPS_OK) {
        return false;
    }
    if (Clock::now() >= deadline_) {
        refusal_ = HTTPS_ERR_TIMEOUT;
        return false;
    }
    if (size > limit_ - received_) {
        refusal_ = HTTPS_ERR_TOO_LARGE;
        return false;
    }
    if (size > 0 && !append_(target_, data, size)) {
        refusal_ = HTTPS_ERR_SETUP;
        return false;
    }
    received_ += size;
    return true;
}

}  // namespace veltrin
