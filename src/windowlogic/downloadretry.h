#pragma once

namespace veltrin {

// How long the window waits before it fetches the update data again while no firmware is
// usable, in milliseconds. unusableDownloads counts the downloads in a row that brought both
// firmware files of which neither passed its check (a captive portal answering with a web
// page, a half-published release): fetching the same files again at once would only load the
// server, so the wait doubles from 1 s with each such download, up to 60 s. With 0 (a file
// could not be fetched) the window keeps retrying every second.
int DownloadRetryInterval(int unusableDownloads);

}  // namespace veltrin
