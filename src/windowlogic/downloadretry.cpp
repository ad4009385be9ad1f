#include "windowlogic/downloadretry.h"

#include "common/texttrim.h"

namespace veltrin {

bool DownloadRetryWanted(const TSMainParams& params) {
    return IsBlankText(params.HexQuorvanOtg) || IsBlankText(params.HexTarnovelleK7);
}

}  // namespace veltrin
