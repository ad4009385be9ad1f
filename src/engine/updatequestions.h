#pragma once

#include <cstdint>

#include "data/firmwarelayout.h"

namespace veltrin {

// The questions an update asks before it changes anything, in this order: one of the two
// version questions when the device already has the release or a newer one, then always the
// question about the device's user data. An owner that answers for the user tells them apart
// by these texts.
inline constexpr char kQuestionSameVersion[] =
    "The newest update version corresponds to\nthe version on the device.\n\nStart Update?";
inline constexpr char kQuestionOlderVersion[] =
    "The available update version is older than\nthe version on the device.\n\nStart Update?";
inline constexpr char kQuestionUserData[] =
    "! Adjustments and other user data will be deleted.\n\nStart Update?";

// The version question the update asks for a release version and the device's version text 0
// (both "dd.dd.dd..."): the same version, or an older one than the device has; null where the
// release is newer or a text is no version, and the update goes on to the user-data question.
// Writes a zero byte at position 8 of both buffers when both are well formed.
inline const char* VersionQuestionFor(std::uint8_t* release, std::uint8_t* device) {
    const int comparison = CompareVersions(release, device);
    return comparison == VERSION_EQUAL   ? kQuestionSameVersion
           : comparison == VERSION_OLDER ? kQuestionOlderVersion
                                         : nullptr;
}

}  // namespace veltrin
