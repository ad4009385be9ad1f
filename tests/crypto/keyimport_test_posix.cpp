#include "keyimport_test_system.h"

namespace veltrin {

bool KeyImportChecksThePoint() {
    return true;
}

}  // namespace veltrin
