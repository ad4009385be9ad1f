#include "events/jsonevents.h"

namespace veltrin {

void WriteJsonLine(std::ostream& out, const Json& object) {
    out << object.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
    out.flush();
}

void UpdateEventStream::Emit(const char* event, const Json& fields) {
    Json line = Json::object();
    line["event"] = event;
    line["port"] = port_.empty() ? Json(nullptr) : Json(port_);
    for (const auto& [name, value] : fields.items())
        line[name] = value;
    WriteJsonLine(out_, line);
}

void EmitEndWithoutRun(UpdateEventStream& events, int exitStatus, const std::string& status) {
    events.Emit("end", {{"result_code", nullptr},
                        {"terminated", false},
                        // No device was updated: whatever stopped the command, the run failed.
                        {"outcome", "failed"},
                        {"exit_status", exitStatus},
                        {"caption", ""},
                        {"status", status},
                        {"error_text", ""},
                        {"hint", ""},
                        {"end_text", ""}});
}

}  // namespace veltrin
