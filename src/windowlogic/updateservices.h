#pragma once

#include <string>

#include "download/httpsclient.h"
#include "engine/clthread.h"
#include "windowlogic/mainwindowservices.h"

namespace veltrin {

// Downloads from serverBase through one HTTPS client that keeps its cookies for the whole
// program, and starts real workers with settings.
MainWindowServices UpdateServices(const std::string& serverBase, HttpsClientOptions options = {},
                                  UpdateThreadSettings settings = {});

// The program's own: the build-time update server, the system's trust store and serial ports.
MainWindowServices DefaultServices();

}  // namespace veltrin
