#pragma once

class QWidget;

namespace veltrin {

// A screen reader hears window as a frame named by its title. Qt exposes a top-level widget of
// no window class of its own as a nameless filler, which a screen reader skips when it reads
// the windows on the desktop.
void AnnounceAsFrame(QWidget* window);

}  // namespace veltrin
