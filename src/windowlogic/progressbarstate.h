#pragma once

#include <cstdint>

namespace veltrin {

// A progress bar as the worker drives it: range 0 to Maximum, Position always inside it. Like
// the bars the engine was written against, a value outside the range is pinned to its nearer
// end instead of being dropped, and a new maximum pins the position it already had.
struct ProgressBarState {
    int Maximum = 100;
    int Position = 0;

    // A negative maximum is taken as an empty range.
    void SetMaximum(std::int32_t maximum);
    void SetPosition(std::int64_t position);
    // Computed wide: a step never wraps around, whatever the worker sends.
    void Step(std::int32_t amount) { SetPosition(std::int64_t{Position} + amount); }
};

}  // namespace veltrin
