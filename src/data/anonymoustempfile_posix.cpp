#include "data/anonymoustempfile.h"

namespace veltrin {

// The C library's file is already unlinked from the start, in TMPDIR or /tmp.
std::FILE* OpenAnonymousTempFile() {
    return std::tmpfile();
}

}  // namespace veltrin
