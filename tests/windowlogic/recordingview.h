#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/threadowner.h"
#include "windowlogic/mainwindowview.h"

// A main window without a toolkit: it keeps what the logic last told each control, which
// timers run, and answers the dialogs from a script the test fills.
struct RecordingView : veltrin::MainWindowView {
    struct Bar {
        int maximum = -1;
        int position = -1;
        bool operator==(const Bar&) const = default;
    };
    struct Dialog {
        std::string text;
        int offset = 0;
        bool terminated = false;
        int code = 0;
    };

    std::map<veltrin::MainText, std::string> texts;
    bool startStopEnabled = true;
    bool progressView = true;
    std::map<veltrin::MainBar, Bar> bars;
    std::map<veltrin::MainTimer, int> running;  // interval of each running timer
    std::vector<std::string> painted;           // both version texts at each PaintNow
    std::deque<bool> answers;                   // the user's next answers to questions
    std::deque<int> endChoices;                 // and to end dialogs
    std::vector<Dialog> questions;
    std::vector<Dialog> ends;
    std::function<void()> onClose;  // what closing the window does (the logic's FormClose)
    // Runs before each text is set; a test throws from it to fail the view at that point.
    std::function<void(veltrin::MainText)> beforeSetText;
    int closeCalls = 0;

    std::string Text(veltrin::MainText control) const {
        const auto it = texts.find(control);
        return it == texts.end() ? "<unset>" : it->second;
    }
    bool Running(veltrin::MainTimer timer) const { return running.count(timer) != 0; }

    void SetText(veltrin::MainText control, const std::string& text) override {
        if (beforeSetText) {
            beforeSetText(control);
        }
        texts[control] = text;
    }
    void PaintNow() override {
        painted.push_back(Text(veltrin::MainText::QuorvanOtgVersion) + " | " +
                          Text(veltrin::MainText::TarnovelleK7Version));
    }
    void SetStartStopEnabled(bool enabled) override { startStopEnabled = enabled; }
    void ShowProgressView(bool progress) override { progressView = progress; }
    void SetBar(veltrin::MainBar bar, int maximum, int position) override {
        bars[bar] = {maximum, position};
    }
    void ArmTimer(veltrin::MainTimer timer, int intervalMs) override {
        running[timer] = intervalMs;
    }
    void StopTimer(veltrin::MainTimer timer) override { running.erase(timer); }
    bool AskYesNo(const std::string& question, int offset) override {
        questions.push_back({question, offset});
        const bool answer = !answers.empty() && answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return answer;
    }
    int ShowEndDialog(bool terminated, int code, const std::string& text, int offset) override {
        ends.push_back({text, offset, terminated, code});
        const int choice = endChoices.empty() ? 0 : endChoices.front();
        if (!endChoices.empty()) {
            endChoices.pop_front();
        }
        return choice;
    }
    void CloseWindow() override {
        ++closeCalls;
        if (onClose) {
            onClose();
        }
    }
};

// The logic's tests drive fake workers on their own thread; nothing is ever dispatched.
struct UnusedDispatcher : veltrin::Dispatcher {
    void RunAndWait(std::function<void()> fn) override { fn(); }
    void Post(std::function<void()> fn) override { fn(); }
};
