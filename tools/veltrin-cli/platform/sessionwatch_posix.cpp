#include "platform/sessionwatch.h"

namespace veltrin {

struct SessionWatch::State {};

SessionWatch::SessionWatch() {}
SessionWatch::~SessionWatch() = default;

}  // namespace veltrin
