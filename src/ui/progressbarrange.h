#pragma once

class QProgressBar;

namespace veltrin {

// Sets the range 0..maximum. A range without room (maximum 0 when the system has no serial
// port at all, or below 0) shows an empty bar: Qt would show its moving busy indicator there,
// which tells the user that something is still going on. Such a bar is drawn with the range
// 0..1 at position 0 and keeps its own maximum for BarMaximum.
void SetBarRange(QProgressBar* bar, int maximum);

// The highest position the bar may take: the maximum given to SetBarRange, never below 0.
int BarMaximum(const QProgressBar* bar);

}  // namespace veltrin
