#pragma once

#include <cstdint>
#include <string>

#include "events/jsonevents.h"
#include "owners/runowner.h"

namespace veltrin {

// The command-line owner of one worker under --json: every event of the run goes out as one
// JSON line on the stream, with the bars' values as the window would show them.
class JsonEventsOwner : public RunOwner {
public:
    JsonEventsOwner(const UpdateData& data, VariantLookupFunction lookup, CliIo& io,
                    ConsentOptions consent, UpdateEventStream& events,
                    UpdateHistoryRecorder* history = nullptr);

    void ThreadSetTotalMax(TSThreadParams& params) override;
    void ThreadSetTotalPosition(TSThreadParams& params) override;
    void ThreadStepTotal(TSThreadParams& params) override;
    void ThreadSetActionMax(TSThreadParams& params) override;
    void ThreadSetActionPosition(TSThreadParams& params) override;
    void ThreadShowTitle(TSThreadParams& params) override;
    void ThreadShowAction(TSThreadParams& params) override;

private:
    void ShowStart() override;
    void ShowDevice(const TSThreadParams& params) override;
    void ShowVariantLookup(const TSThreadParams& params) override;
    void ShowQuestion(const std::string& question) override;
    void ShowAnswer(const std::string& question, bool answer, AnswerSource source,
                    const std::string& typed) override;
    void ShowHistoryRecord(const UpdateHistoryRecorder& history, bool written,
                           const std::string& error) override;
    void ShowEnd(const TSThreadParams& params, bool terminated) override;
    void EmitProgress(const char* bar, const char* change, std::int64_t value);

    UpdateEventStream& events_;
    std::int64_t totalMax_ = 100, totalPosition_ = 0, actionMax_ = 100, actionPosition_ = 0;
    bool inhibitorReported_ = false;
};

}  // namespace veltrin
