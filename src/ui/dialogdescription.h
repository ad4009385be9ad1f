#pragma once

class QWidget;

namespace veltrin {

// Gives dialog its message as its accessible description, the texts of its shown labels in
// their order, so that a screen reader reads the message with the title when the dialog opens,
// not only the focused button. Called after every change of the labels.
void DescribeByLabels(QWidget* dialog);

}  // namespace veltrin
