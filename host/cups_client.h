// The host's requests to a CUPS server: the printer list, a queue's PPD,
// job submission and job state. The server is the one libcups is set to
// (CUPS_SERVER, cupsSetServer, or the system's default); every wait is
// bounded. Failures carry CUPS's own error text, or say that the server did
// not answer in time, or why no connection could be made.
#pragma once

#include <cups/cups.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/cups_handles.h"
#include "host/cups_ppd_host.h"
#include "host/status.h"

namespace zarvik::host {

// Seconds a connection attempt, and then each wait for the server, may take
// (zarvik-print.1 says them).
inline constexpr int kConnectTimeoutSeconds = 5;
inline constexpr int kRequestTimeoutSeconds = 10;

// A connection to the server libcups is set to.
Expected<ScopedHttp> connectToCups();

struct Destination {
  std::string name;  // "queue" or "queue/instance"
  bool isDefault = false;
  std::map<std::string, std::string> options;  // its own (lpoptions) and the server's
};
Expected<std::vector<Destination>> listDestinations(http_t* http);

// What the server takes for `queue`: the document formats (MIME types) of
// its document-format-supported, and the upper bound of copies-supported.
struct PrinterCapabilities {
  std::vector<std::string> formats;
  int maxCopies = 9999;
};
Expected<PrinterCapabilities> printerCapabilities(http_t* http, std::string_view queue);

// A host over the PPD of `queue`, fetched from the server.
Expected<std::shared_ptr<CupsPpdHost>> openQueue(http_t* http, std::string_view queue);

struct JobRequest {
  std::string printer;
  std::string title;
  // Documents in order; every one must be readable.
  std::vector<std::filesystem::path> files;
  // The MIME type of the documents, or CUPS_FORMAT_AUTO to let the server
  // decide by their contents.
  std::string format = CUPS_FORMAT_AUTO;
  std::map<std::string, std::string> options;
};
// Creates the job, sends every document and answers the job's id. A job
// that was created but could not be completed is cancelled.
Expected<int> submitJob(http_t* http, const JobRequest& request);

struct JobStatus {
  ipp_jstate_t state = IPP_JSTATE_PENDING;
  std::string printer;
  std::string title;
  std::string format;
};
// The state of job `jobId` on `printer`, whichever state it is in.
Expected<JobStatus> jobStatus(http_t* http, std::string_view printer, int jobId);
// "pending", "held", "processing", "stopped", "canceled", "aborted" or "completed".
std::string jobStateName(ipp_jstate_t state);

}  // namespace zarvik::host
