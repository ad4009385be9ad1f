#include <cerrno>
#include <csignal>

#include "platform/stoprequest.h"
#include "platform/stopsignals.h"

namespace veltrin {

namespace {

extern "C" void OnStopSignal(int signal) {
    const int savedErrno = errno;
    if (!RequestStop()) {
        // A second request ends the program at once, by the signal's own default, so that the
        // shell sees what killed it. The signal is blocked in here and arrives on return.
        ::signal(signal, SIG_DFL);
        ::raise(signal);
    }
    errno = savedErrno;
}

void Handle(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // Reads and writes of the port, the console and the files go on where they were.
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

}  // namespace

void InstallStopHandlers() {
    // A reader that goes away (a pipe into `head`) leaves a run that must still end cleanly;
    // the write fails with EPIPE instead, and the stream stops printing.
    Handle(SIGPIPE, SIG_IGN);
    // A closed terminal, a dropped SSH session and `timeout` or a service manager's stop are
    // all asked the way Ctrl+C asks.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        Handle(signal, OnStopSignal);
}

}  // namespace veltrin
