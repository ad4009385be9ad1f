#pragma once

#include <functional>

#include "data/clquorvanvariants.h"
#include "download/updatedownload.h"
#include "engine/clthread.h"
#include "engine/threadowner.h"

namespace veltrin {

// What the main window takes from outside the user interface: the update data and the
// workers. The program uses the build-time update server and real workers; tests hand in a
// local server and a simulated pipette, or fakes.
struct MainWindowServices {
    // Fills data and variants from the update server; label shows the download's progress.
    using DownloadFunction = std::function<void(UpdateData& data, ClQuorvanVariants& variants,
                                                const DownloadLabelFunction& label)>;
    // Starts one worker for owner; null when none could be created.
    using StartWorkerFunction =
        std::function<ClTread*(UpdateThreadOwner& owner, Dispatcher& dispatcher)>;

    DownloadFunction Download;
    StartWorkerFunction StartWorker;
    // Joins the threads of ended workers; called before the window goes away.
    std::function<void()> JoinWorkers;
};

}  // namespace veltrin
