#include "download/updatedatareason.h"

#include "common/printabletext.h"
#include "download/indexnames.h"

namespace veltrin {

std::string NoUpdateDataReason(const UpdateDownloadReport& report) {
    std::string why;
    if (report.IndexResult != HTTPS_OK) {
        why = std::string("the index ") + kIndexFileName + " could not be fetched";
        if (!report.IndexError.empty()) {
            why += ": " + report.IndexError;
        }
    } else if (report.Verification.Check == UpdateDataCheck::Refused) {
        why = "the update data was refused: " + report.Verification.Problem;
    } else {
        for (const UpdateFileReport* file : {&report.QuorvanOtg, &report.TarnovelleK7}) {
            if (!file->Refusal.empty()) {
                why += (why.empty() ? "" : "; ") + file->Name + ": " + file->Refusal;
            } else if (file->Result > 0) {
                why += (why.empty() ? "" : "; ") + file->Name + ": " + file->Error;
            }
        }
        if (why.empty()) {
            why = "no firmware file of the update data passed its check";
        }
    }
    return PrintableText(why);
}

}  // namespace veltrin
