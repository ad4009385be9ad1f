#include "args/consent.h"

#include "engine/updatequestions.h"

namespace veltrin {

ConsentOptions ConsentFrom(const CliArguments& arguments) {
    return {arguments.Yes, arguments.AllowReinstall, arguments.AllowOlder};
}

bool AnswerFromOptions(const ConsentOptions& consent, const std::string& question, bool& answer,
                       LeftAlone& leftAlone) {
    if (!consent.Yes)
        return false;
    // A blanket yes must not cost a current device its adjustments, nor downgrade a newer one.
    answer = true;
    if (question == kQuestionSameVersion && !consent.AllowReinstall) {
        answer = false;
        leftAlone = LeftAlone::UpToDate;
    } else if (question == kQuestionOlderVersion && !consent.AllowOlder) {
        answer = false;
        leftAlone = LeftAlone::NewerThanRelease;
    }
    return true;
}

const char* LeftAloneWord(LeftAlone leftAlone) {
    switch (leftAlone) {
        case LeftAlone::UpToDate:
            return "up-to-date";
        case LeftAlone::NewerThanRelease:
            return "newer-than-release";
        case LeftAlone::No:
            break;
    }
    return "";
}

const char* LeftAloneText(LeftAlone leftAlone) {
    switch (leftAlone) {
        case LeftAlone::UpToDate:
            return "up to date";
        case LeftAlone::NewerThanRelease:
            return "newer than the release";
        case LeftAlone::No:
            break;
    }
    return "";
}

const char* LeftAloneOption(LeftAlone leftAlone) {
    return leftAlone == LeftAlone::NewerThanRelease ? "--allow-older" : "--allow-reinstall";
}

}  // namespace veltrin
