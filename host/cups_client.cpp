// libcups 2.4 marks cupsGetPPD3 and the ppd* calls deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include "host/cups_client.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zarvik::host {
namespace {

std::string cupsError() {
  const char* text = cupsLastErrorString();
  return text != nullptr && text[0] != '\0' ? text : ippErrorString(cupsLastError());
}

std::string serverName() {
  std::string server = cupsServer();
  if (!server.empty() && server.front() == '/') return server;
  return server + ":" + std::to_string(ippPort());
}

// Ends a wait that has lasted the request timeout instead of retrying.
int giveUp(http_t* /*http*/, void* /*data*/) { return 0; }

class FileReader {
 public:
  explicit FileReader(const std::filesystem::path& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~FileReader() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;
  bool ok() const { return fd_ >= 0; }
  ssize_t read(char* buffer, std::size_t size) {
    ssize_t n;
    do {
      n = ::read(fd_, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
  }

 private:
  int fd_;
};

// Create-Job, asked of the server itself: cupsCreateJob first looks the
// queue up on the client's side and, for a queue the server does not have,
// answers a bare "No such file or directory" instead of the server's words.
int createJob(http_t* http, const std::string& printer, const std::string& title, const ScopedOptions& options) {
  char uri[HTTP_MAX_URI];
  const std::string resource = "/printers/" + printer;
  httpAssembleURI(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), resource.c_str());
  ipp_t* request = ippNewRequest(IPP_OP_CREATE_JOB);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  if (!title.empty()) ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
  cupsEncodeOptions2(request, options.count(), options.get(), IPP_TAG_OPERATION);
  cupsEncodeOptions2(request, options.count(), options.get(), IPP_TAG_JOB);
  ipp_t* response = cupsDoRequest(http, request, resource.c_str());  // frees the request
  int job = 0;
  if (cupsLastError() <= IPP_STATUS_OK_CONFLICTING) {
    if (ipp_attribute_t* id = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER)) job = ippGetInteger(id, 0);
  }
  ippDelete(response);
  return job;
}

}  // namespace

Expected<ScopedHttp> connectToCups() {
  ScopedHttp http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), /*blocking=*/1,
                               kConnectTimeoutSeconds * 1000, /*cancel=*/nullptr));
  if (!http) {
    return Expected<ScopedHttp>::failure("Cannot reach the CUPS server at " + serverName() + ": " + cupsError() + ".");
  }
  httpSetTimeout(http.get(), kRequestTimeoutSeconds, giveUp, nullptr);
  return http;
}

Expected<std::vector<Destination>> listDestinations(http_t* http) {
  cups_dest_t* dests = nullptr;
  int count = cupsGetDests2(http, &dests);
  if (count == 0 && cupsLastError() > IPP_STATUS_OK_CONFLICTING && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND) {
    return Expected<std::vector<Destination>>::failure("Cannot list the printers: " + cupsError());
  }
  std::vector<Destination> list;
  for (int i = 0; i < count; ++i) {
    Destination destination;
    destination.name = dests[i].name;
    if (dests[i].instance != nullptr) destination.name += std::string("/") + dests[i].instance;
    destination.isDefault = dests[i].is_default != 0;
    list.push_back(std::move(destination));
  }
  cupsFreeDests(count, dests);
  return list;
}

Expected<std::shared_ptr<CupsPpdHost>> openQueue(http_t* http, std::string_view queue) {
  using Result = Expected<std::shared_ptr<CupsPpdHost>>;
  std::string name(queue);
  char path[1024] = "";
  time_t modified = 0;
  http_status_t status = cupsGetPPD3(http, name.c_str(), &modified, path, sizeof path);
  if (status != HTTP_STATUS_OK) {
    if (path[0] != '\0') ::unlink(path);
    return Result::failure("Cannot get the PPD of the printer " + name + ": " + cupsError());
  }
  ScopedPpd ppd(ppdOpenFile(path));
  ::unlink(path);
  if (!ppd) {
    int line = 0;
    ppd_status_t error = ppdLastError(&line);
    return Result::failure("The PPD of the printer " + name + " is not valid: " + ppdErrorString(error) + " at line " +
                           std::to_string(line) + ".");
  }
  return std::make_shared<CupsPpdHost>(std::move(ppd));
}

Expected<int> submitJob(http_t* http, const JobRequest& request) {
  if (request.files.empty()) return Expected<int>::failure("There is no document to print.");
  for (const auto& file : request.files) {
    FileReader reader(file);
    if (!reader.ok()) {
      return Expected<int>::failure("Cannot read " + file.string() + ": " + std::strerror(errno) + ".");
    }
  }
  ScopedOptions options;
  for (const auto& [name, value] : request.options) options.add(name.c_str(), value.c_str());

  const std::string& printer = request.printer;
  int job = createJob(http, printer, request.title, options);
  if (job == 0) return Expected<int>::failure("CUPS did not take the job for " + printer + ": " + cupsError());

  auto fail = [&](const std::string& what) {
    std::string message = what + cupsError();
    cupsCancelJob2(http, printer.c_str(), job, /*purge=*/0);
    return Expected<int>::failure(message);
  };
  for (std::size_t i = 0; i < request.files.size(); ++i) {
    const auto& file = request.files[i];
    const std::string document = file.filename().string();
    const int last = i + 1 == request.files.size() ? 1 : 0;
    if (cupsStartDocument(http, printer.c_str(), job, document.c_str(), request.format.c_str(), last) !=
        HTTP_STATUS_CONTINUE) {
      return fail("CUPS did not take the document " + document + ": ");
    }
    FileReader reader(file);
    char buffer[32768];
    ssize_t n = 0;
    while ((n = reader.read(buffer, sizeof buffer)) > 0) {
      if (cupsWriteRequestData(http, buffer, static_cast<std::size_t>(n)) != HTTP_STATUS_CONTINUE) {
        return fail("Sending " + document + " to CUPS failed: ");
      }
    }
    if (n < 0) {
      std::string reason = std::strerror(errno);
      cupsFinishDocument(http, printer.c_str());
      cupsCancelJob2(http, printer.c_str(), job, /*purge=*/0);
      return Expected<int>::failure("Cannot read " + file.string() + ": " + reason + ".");
    }
    if (cupsFinishDocument(http, printer.c_str()) > IPP_STATUS_OK_CONFLICTING) {
      return fail("CUPS did not accept the document " + document + ": ");
    }
  }
  return job;
}

Expected<JobStatus> jobStatus(http_t* http, std::string_view printer, int jobId) {
  std::string name(printer);
  cups_job_t* jobs = nullptr;
  int count = cupsGetJobs2(http, &jobs, name.c_str(), /*myjobs=*/0, CUPS_WHICHJOBS_ALL);
  if (count < 0) return Expected<JobStatus>::failure("Cannot get the jobs of " + name + ": " + cupsError());
  std::optional<JobStatus> found;
  for (int i = 0; i < count; ++i) {
    if (jobs[i].id != jobId) continue;
    JobStatus status;
    status.state = jobs[i].state;
    status.printer = jobs[i].dest ? jobs[i].dest : "";
    status.title = jobs[i].title ? jobs[i].title : "";
    status.format = jobs[i].format ? jobs[i].format : "";
    found = std::move(status);
  }
  cupsFreeJobs(count, jobs);
  if (!found) return Expected<JobStatus>::failure("The printer " + name + " has no job " + std::to_string(jobId) + ".");
  return *found;
}

std::string jobStateName(ipp_jstate_t state) {
  switch (state) {
    case IPP_JSTATE_PENDING:
      return "pending";
    case IPP_JSTATE_HELD:
      return "held";
    case IPP_JSTATE_PROCESSING:
      return "processing";
    case IPP_JSTATE_STOPPED:
      return "stopped";
    case IPP_JSTATE_CANCELED:
      return "canceled";
    case IPP_JSTATE_ABORTED:
      return "aborted";
    case IPP_JSTATE_COMPLETED:
      return "completed";
  }
  return "unknown";
}

}  // namespace zarvik::host
