#pragma once

#include <string>
#include <vector>

#include "engine/commandsetfactory.h"
#include "windowlogic/mainwindowservices.h"

namespace veltrin {

// The demo window's command line, the same in both views: the update server, an extra CA
// file, the ports to search instead of the system's, and a history file.
//   --server URL [--ca-file FILE] [--port NAME ...] [--history-file FILE]
// The workers talk through the command sets of makeCommandSet. Returns false, leaving services
// untouched, when an option is unknown, lacks its value or --server is missing; the caller
// shows DemoWindowUsage() then.
bool ParseDemoWindowOptions(const std::vector<std::string>& args, CommandSetFactory makeCommandSet,
                            MainWindowServices& services);

const char* DemoWindowUsage();

}  // namespace veltrin
