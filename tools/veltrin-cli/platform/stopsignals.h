#pragma once

namespace veltrin {

// Makes the system's requests to end the program ask the running update to stop instead
// (RequestStop): on Linux SIGINT, SIGTERM and SIGHUP, on Windows Ctrl+C, Ctrl+Break and the
// closing of the console. A second request ends the program at once. A closed output never
// ends the program: writing to it fails, and only that stream goes quiet. Call once, first
// thing in main.
void InstallStopHandlers();

}  // namespace veltrin
