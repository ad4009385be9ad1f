#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

namespace veltrin {

// Objects keep their fields in the order they were added, so a line reads like the text output.
using Json = nlohmann::ordered_json;

// Writes object as one line and flushes it, so a reader sees every event as it happens. Bytes
// that are not UTF-8 (device texts, file names) are replaced instead of failing.
void WriteJsonLine(std::ostream& out, const Json& object);

// The events of one update run: each line starts with "event" and "port" (null until the
// device's port is known), then the event's own fields.
class UpdateEventStream {
public:
    UpdateEventStream(std::ostream& out, std::string port) : out_(out), port_(std::move(port)) {}

    void SetPort(const std::string& port) { port_ = port; }
    void Emit(const char* event, const Json& fields = Json::object());

private:
    std::ostream& out_;
    std::string port_;
};

// The end of a run that never got to a worker (no update data, no device to update): the same
// fields as every end, with no result code and only the status line.
void EmitEndWithoutRun(UpdateEventStream& events, int exitStatus, const std::string& status);

}  // namespace veltrin
