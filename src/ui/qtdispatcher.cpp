#include "ui/qtdispatcher.h"

#include <QMetaObject>
#include <QThread>

namespace veltrin {

QtDispatcher::QtDispatcher(QObject* context) : context_(context) {}

void QtDispatcher::RunAndWait(std::function<void()> fn) {
    // A blocking queued call from the UI thread to itself would wait for itself forever.
    if (QThread::currentThread() == context_->thread()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(
        context_, [&fn] { fn(); }, Qt::BlockingQueuedConnection);
}

void QtDispatcher::Post(std::function<void()> fn) {
    QMetaObject::invokeMethod(context_, std::move(fn), Qt::QueuedConnection);
}

}  // namespace veltrin
