// Shows the Qt windows one state after another on a real display, for a screen reader on the
// accessibility bus to read (screenreader_test.py). For each state it prints one line
//   state NAME
// followed by what is on screen, one line per visible window or control:
//   ROLE<TAB>NAME<TAB>DESCRIPTION-OR-VALUE
// taken from the widgets themselves, then "ready"; the reader answers "next" on standard input
// once it has heard it all. Escapes: "\n" for a line break, "\\" for a backslash.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTextStream>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "fakeworld.h"
#include "ui/programwindows.h"
#include "ui/tform_main.h"
#include "ui/tform_messagethread.h"
#include "ui/tform_messagethreadend.h"

using namespace veltrin;

namespace {

std::string Escaped(const QString& text) {
    std::string out;
    for (char c : text.toStdString()) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\\') {
            out += "\\\\";
        } else {
            out += c;
        }
    }
    return out;
}

void Line(const char* role, const QString& name, const QString& detail) {
    std::cout << role << '\t' << Escaped(name) << '\t' << Escaped(detail) << '\n';
}

// What a sighted user sees in window: its title, and every shown label, button and bar.
void Describe(QWidget* window) {
    auto* dialog = qobject_cast<QDialog*>(window);
    Line(dialog != nullptr ? "dialog" : "frame", window->windowTitle(),
         dialog != nullptr ? dialog->accessibleDescription() : QString());
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (!child->isVisibleTo(window)) {
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(child);
            label != nullptr && !label->text().isEmpty()) {
            Line("label", label->text(), QString());
        } else if (auto* button = qobject_cast<QPushButton*>(child)) {
            Line("push button", button->text(), QString());
        } else if (auto* bar = qobject_cast<QProgressBar*>(child)) {
            Line("progress bar", QString(), QString::number(bar->value()));
        }
    }
}

struct Program {
    FakeWorld world;
    std::unique_ptr<ProgramWindows> windows;
    void Open(std::deque<UpdateData> downloads) {
        Close();
        world.Downloads = std::move(downloads);
        windows = std::make_unique<ProgramWindows>(CreateProgramWindows(world.Services()));
        windows->Form_Main->show();
    }
    void Close() {
        if (windows && windows->Form_Main->Params().ThreadRunning) {
            windows->Form_Main->UpdateThreadEnded();
        }
        windows.reset();
    }
    TForm_Main& Main() { return *windows->Form_Main; }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Program program;
    TForm_MessageThread question;
    TForm_MessageThreadEnd end;

    struct State {
        const char* name;
        std::function<QWidget*()> show;
    };
    const std::vector<State> states = {
        {"main window without data",
         [&] {
             program.Open({});
             return &program.Main();
         }},
        {"main window during a run",
         [&] {
             program.Open({Data("Version 01.02.03", "Version 02.00.01")});
             TSThreadParams params;
             params.EventText = "Update Tarnovelle K7/K7x ...";
             program.Main().ThreadShowTitle(params);
             params.EventText = "Update module 3/12";
             program.Main().ThreadShowAction(params);
             params.EventValue = 12;
             program.Main().ThreadSetActionMax(params);
             params.EventValue = 3;
             program.Main().ThreadSetActionPosition(params);
             return &program.Main();
         }},
        {"main window after a run",
         [&] {
             program.Main().UpdateThreadEnded();
             return &program.Main();
         }},
        {"question",
         [&] {
             program.Close();
             question.SetMessage(
                 "! Adjustments and other user data will be deleted.\n\nStart Update?");
             question.show();
             return static_cast<QWidget*>(&question);
         }},
        {"end after success",
         [&] {
             question.hide();
             end.ShowResult(false, 0, "Update Quorvan/plus Version 01.02.03");
             end.show();
             return static_cast<QWidget*>(&end);
         }},
        {"end after a failure",
         [&] {
             end.ShowResult(false, 2, "");
             return static_cast<QWidget*>(&end);
         }},
        {"end after cancel",
         [&] {
             end.ShowResult(true, 14, "");
             return static_cast<QWidget*>(&end);
         }},
    };

    std::size_t next = 0;
    const auto step = [&] {
        if (next == states.size()) {
            end.hide();
            QApplication::quit();
            return;
        }
        const State& state = states[next++];
        QWidget* window = state.show();
        QApplication::processEvents();
        std::cout << "state " << state.name << '\n';
        Describe(window);
        std::cout << "ready" << std::endl;
    };
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        std::string line;
        if (!std::getline(std::cin, line)) {
            QApplication::exit(1);
            return;
        }
        if (line == "next") {
            step();
        }
    });
    step();
    const int code = QApplication::exec();
    program.Close();
    return code;
}
