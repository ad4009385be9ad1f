#pragma once

#include "args/cliarguments.h"
#include "data/clquorvanvariants.h"
#include "download/updatedownload.h"
#include "output/cliio.h"

namespace veltrin {

// Each command returns the program's exit status.
int RunPortsCommand(const CliArguments& arguments, CliIo& io);
int RunProbeCommand(const CliArguments& arguments, CliIo& io);
int RunCheckCommand(const CliArguments& arguments, CliIo& io);
int RunDownloadCommand(const CliArguments& arguments, CliIo& io);
int RunUpdateCommand(const CliArguments& arguments, CliIo& io, const CliEnvironment& environment);
// update --port A --port B... or --all-ports: every device at once.
int RunSeveralDeviceUpdate(const CliArguments& arguments, CliIo& io,
                           const CliEnvironment& environment);
int RunHistoryCommand(const CliArguments& arguments, CliIo& io, const CliEnvironment& environment);

class UpdateEventStream;

// Downloads the update data from --server (or the built-in server), showing the version labels'
// states and the outcome of each file, as text or (with events) as JSON events. True when at
// least one firmware version is usable.
bool FetchUpdateData(const CliArguments& arguments, CliIo& io, UpdateData& data,
                     ClQuorvanVariants& variants, UpdateDownloadReport& report,
                     UpdateEventStream* events = nullptr);
// The line that follows "No data found for update." and says why: the index that could not be
// fetched, the folder that was refused, the files that did not match. Ends in a newline.
std::string NoUpdateDataCause(const UpdateDownloadReport& report);
// The line that ends a run which had to do without the refused variant file; else empty.
std::string RefusedVariantsNote(const UpdateData& data, const UpdateDownloadReport& report);

}  // namespace veltrin
