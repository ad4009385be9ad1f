#pragma once

#include <string>

#include "download/httpsclient.h"
#include "engine/clthread.h"
#include "windowlogic/mainwindowservices.h"

namespace veltrin {

// Downloads from serverBase through one HTTPS client that keeps its cookies for the whole
// program, and starts real workers with settings. Keeps no history until HistoryFile is set.
MainWindowServices UpdateServices(const std::string& serverBase, HttpsClientOptions options = {},
                                  UpdateThreadSettings settings = {});

// The program's own: the build-time update server, the system's trust store, workers on the
// command sets of makeCommandSet (the system's serial ports) and the user's update history.
MainWindowServices DefaultServices(CommandSetFactory makeCommandSet);

}  // namespace veltrin
