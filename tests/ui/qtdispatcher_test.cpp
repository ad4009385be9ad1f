#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>

#include "ui/qtdispatcher.h"

using veltrin::QtDispatcher;

class QtDispatcherTest : public QObject {
    Q_OBJECT

private slots:
    void runAndWaitRunsOnTheUiThreadAndWaitsForIt() {
        QObject context;
        QtDispatcher dispatcher(&context);
        QThread* uiThread = QThread::currentThread();
        std::atomic<int> step{0};
        QThread* ranOn = nullptr;
        int seenAfterReturn = -1;

        std::thread worker([&] {
            for (int i = 0; i < 50; ++i) {
                dispatcher.RunAndWait([&] {
                    ranOn = QThread::currentThread();
                    // Slow handler: the worker must still not run ahead of it.
                    QTest::qSleep(1);
                    step = i + 1;
                });
                if (step != i + 1) {
                    seenAfterReturn = i;
                    return;
                }
            }
            seenAfterReturn = 50;
        });
        QTRY_COMPARE_WITH_TIMEOUT(step.load(), 50, 30000);
        worker.join();
        QCOMPARE(seenAfterReturn, 50);
        QCOMPARE(ranOn, uiThread);
    }

    void runAndWaitFromTheUiThreadRunsAtOnce() {
        QObject context;
        QtDispatcher dispatcher(&context);
        bool ran = false;
        dispatcher.RunAndWait([&] { ran = true; });  // would deadlock if it queued
        QVERIFY(ran);
    }

    void postReturnsAtOnceAndRunsLaterInOrder() {
        QObject context;
        QtDispatcher dispatcher(&context);
        std::vector<int> order;
        std::thread worker([&] {
            dispatcher.Post([&] { order.push_back(1); });
            dispatcher.Post([&] { order.push_back(2); });
        });
        worker.join();  // Post did not wait for the UI thread, which is busy joining
        QVERIFY(order.empty());
        QTRY_COMPARE(order.size(), std::size_t(2));
        QCOMPARE(order, (std::vector<int>{1, 2}));
    }
};

QTEST_MAIN(QtDispatcherTest)
#include "qtdispatcher_test.moc"
