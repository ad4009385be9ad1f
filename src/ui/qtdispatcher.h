#pragma once

#include <QObject>
#include <functional>

#include "engine/threadowner.h"

namespace veltrin {

// Runs the worker's events on the thread of a Qt object (the UI thread). RunAndWait blocks the
// calling worker until the function has returned on the UI thread; Post queues it and returns.
class QtDispatcher : public Dispatcher {
public:
    // context lives on the UI thread and outlives every worker that uses this dispatcher.
    explicit QtDispatcher(QObject* context);

    void RunAndWait(std::function<void()> fn) override;
    void Post(std::function<void()> fn) override;

private:
    QObject* context_;
};

}  // namespace veltrin
