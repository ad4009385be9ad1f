#pragma once

#include <string>

#include "args/cliarguments.h"

namespace veltrin {

// What the command line lets the program answer for the user. --yes consents to the loss of the
// device's user data only: rewriting a device that already has the release, or putting an older
// release on it, each need their own option.
struct ConsentOptions {
    bool Yes = false;             // --yes
    bool AllowReinstall = false;  // --allow-reinstall: also rewrite a device on the release
    bool AllowOlder = false;      // --allow-older: also put an older release on a device
};

ConsentOptions ConsentFrom(const CliArguments& arguments);

// Why a run left its device alone: it declined a version question that no option consented to.
enum class LeftAlone { No, UpToDate, NewerThanRelease };

// Answers a question of the update from the options. False when the options say nothing about
// it (no --yes): the user must be asked. A version question declined leaves the device alone and
// says why in leftAlone.
bool AnswerFromOptions(const ConsentOptions& consent, const std::string& question, bool& answer,
                       LeftAlone& leftAlone);

// The outcome word of the history records and --json: "up-to-date" or "newer-than-release";
// empty for LeftAlone::No.
const char* LeftAloneWord(LeftAlone leftAlone);

// The summary's words for it: "up to date" or "newer than the release".
const char* LeftAloneText(LeftAlone leftAlone);

// The option that would have updated the device anyway.
const char* LeftAloneOption(LeftAlone leftAlone);

}  // namespace veltrin
