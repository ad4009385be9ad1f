#include <pthread.h>
#include <signal.h>

#include "programsignals.h"

namespace veltrin {
namespace {

sigset_t ProgramSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGUSR1);
    sigaddset(&set, SIGUSR2);
    return set;
}

}  // namespace

void BlockProgramSignals() {
    const sigset_t set = ProgramSignalSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

ProgramSignal WaitForProgramSignal() {
    const sigset_t set = ProgramSignalSet();
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0)
            continue;
        if (signal == SIGUSR1)
            return ProgramSignal::Unplug;
        if (signal == SIGUSR2)
            return ProgramSignal::Plug;
        return ProgramSignal::Stop;
    }
}

}  // namespace veltrin
