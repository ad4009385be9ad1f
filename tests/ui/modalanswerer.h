#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

// Answers modal dialogs from inside their own event loop, the way a user would: each queued
// action receives the next dialog that is open and modal, and is expected to close it.
class ModalAnswerer {
public:
    using Action = std::function<void(QWidget* dialog)>;

    ModalAnswerer() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    void Then(Action action) { actions_.push_back(std::move(action)); }
    std::size_t Pending() const { return actions_.size(); }
    int Answered() const { return answered_; }

private:
    void Poll() {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || !dialog->isVisible() || actions_.empty()) {
            return;
        }
        Action action = std::move(actions_.front());
        actions_.pop_front();
        ++answered_;
        action(dialog);
    }

    QTimer timer_;
    std::deque<Action> actions_;
    int answered_ = 0;
};
