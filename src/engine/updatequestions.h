#pragma once

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

}  // namespace veltrin
