// libcups 2.4 marks cupsGetPPD3 and the ppd* calls deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include "host/cups_client.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>
#include <set>

#include "host/texts.h"

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

// The connections whose server did not answer within the request timeout.
thread_local std::set<const http_t*> timedOut;

// libcups asks whether to wait on after its first wait of a second, then
// every kTick; a call that follows the last within little more than a tick
// continues the same silence.
constexpr double kTick = 0.25, kFirstWait = 1.0;
struct Silence {
  double since = 0, last = -1;
};
thread_local std::map<const http_t*, Silence> silences;

double now() {
  timespec time{};
  ::clock_gettime(CLOCK_MONOTONIC, &time);
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

// Ends a wait once the server has been silent for the request timeout, and
// remembers why the request failed: libcups then words it as whatever it
// was doing ("No printer-uri found"). A server that fell silent once is
// not waited for again, so a run that makes several requests still waits
// the timeout once, as its message says.
int giveUp(http_t* http, void* /*data*/) {
  Silence& silence = silences[http];
  const double time = now();
  if (time - silence.last > kTick * 1.5) silence.since = time - kFirstWait;
  silence.last = time;
  if (timedOut.count(http) == 0 && time - silence.since < kRequestTimeoutSeconds) return 1;
  timedOut.insert(http);
  return 0;
}

std::string noAnswer(int seconds) {
  return sentence(QT_TRANSLATE_NOOP("zarvik-print", "The CUPS server at %1 did not answer within %2 s."),
                  {serverName(), std::to_string(seconds)});
}

// The sentence for a request that failed: the server's silence when it did
// not answer, else `withReason` followed by CUPS's own words.
std::string requestFailure(http_t* http, const std::string& withReason) {
  if (timedOut.count(http) != 0) return noAnswer(kRequestTimeoutSeconds);
  // A connection lost mid-request leaves CUPS's status as it was ("Success").
  if (cupsLastError() <= IPP_STATUS_OK_CONFLICTING) {
    const int error = httpError(http);
    return withReason + (error != 0 ? std::strerror(error)
                                    : sentence(QT_TRANSLATE_NOOP("zarvik-print", "the server closed the connection")));
  }
  return withReason + cupsError();
}

// Why no connection to the server could be made. libcups says "Host is
// down" whatever the cause, so one more attempt, short and on its own,
// asks the system.
std::string connectionFailure() {
  const std::string port = std::to_string(ippPort());
  http_addrlist_t* addresses = httpAddrGetList(cupsServer(), AF_UNSPEC, port.c_str());
  if (addresses == nullptr) {
    return sentence(QT_TRANSLATE_NOOP("zarvik-print", "Cannot reach the CUPS server at %1: there is no such host."),
                    {serverName()});
  }
  int error = ETIMEDOUT;
  const http_addr_t& address = addresses->addr;
  int fd = ::socket(address.addr.sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error = errno;
  } else {
    if (::connect(fd, &address.addr, static_cast<socklen_t>(httpAddrLength(&address))) == 0) {
      error = 0;
    } else if (errno != EINPROGRESS) {
      error = errno;
    } else {
      pollfd wait{fd, POLLOUT, 0};
      if (::poll(&wait, 1, 1000) == 1) {
        socklen_t size = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
      }
    }
    ::close(fd);
  }
  httpAddrFreeList(addresses);
  if (error == ETIMEDOUT) return noAnswer(kConnectTimeoutSeconds);
  return sentence(QT_TRANSLATE_NOOP("zarvik-print", "Cannot reach the CUPS server at %1: %2."),
                  {serverName(), error != 0 ? std::strerror(error) : cupsError()});
}

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

std::string printerUri(const std::string& printer) {
  char uri[HTTP_MAX_URI];
  const std::string resource = "/printers/" + printer;
  httpAssembleURI(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), resource.c_str());
  return uri;
}

// Create-Job, asked of the server itself: cupsCreateJob first looks the
// queue up on the client's side and, for a queue the server does not have,
// answers a bare "No such file or directory" instead of the server's words.
int createJob(http_t* http, const std::string& printer, const std::string& title, const ScopedOptions& options) {
  const std::string resource = "/printers/" + printer;
  ipp_t* request = ippNewRequest(IPP_OP_CREATE_JOB);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri(printer).c_str());
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

void HttpDeleter::operator()(http_t* http) const {
  timedOut.erase(http);
  silences.erase(http);
  httpClose(http);
}

Expected<ScopedHttp> connectToCups() {
  ScopedHttp http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), /*blocking=*/1,
                               kConnectTimeoutSeconds * 1000, /*cancel=*/nullptr));
  if (!http) return Expected<ScopedHttp>::failure(connectionFailure());
  timedOut.erase(http.get());
  silences.erase(http.get());
  httpSetTimeout(http.get(), kTick, giveUp, nullptr);
  return http;
}

Expected<std::vector<Destination>> listDestinations(http_t* http) {
  cups_dest_t* dests = nullptr;
  int count = cupsGetDests2(http, &dests);
  if (count == 0 && (timedOut.count(http) != 0 ||
                     (cupsLastError() > IPP_STATUS_OK_CONFLICTING && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND))) {
    return Expected<std::vector<Destination>>::failure(
        requestFailure(http, sentence(QT_TRANSLATE_NOOP("zarvik-print", "Cannot list the printers: "))));
  }
  std::vector<Destination> list;
  for (int i = 0; i < count; ++i) {
    Destination destination;
    destination.name = dests[i].name;
    if (dests[i].instance != nullptr) destination.name += std::string("/") + dests[i].instance;
    destination.isDefault = dests[i].is_default != 0;
    for (int j = 0; j < dests[i].num_options; ++j)
      destination.options.emplace(dests[i].options[j].name, dests[i].options[j].value);
    list.push_back(std::move(destination));
  }
  cupsFreeDests(count, dests);
  return list;
}

Expected<PrinterCapabilities> printerCapabilities(http_t* http, std::string_view queue) {
  const std::string name(queue);
  ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri(name).c_str());
  static const char* const kWanted[] = {"document-format-supported", "copies-supported"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, kWanted);
  ipp_t* response = cupsDoRequest(http, request, "/");  // frees the request
  PrinterCapabilities capabilities;
  ipp_attribute_t* supported = ippFindAttribute(response, "document-format-supported", IPP_TAG_MIMETYPE);
  for (int i = 0; i < ippGetCount(supported); ++i) {
    if (const char* format = ippGetString(supported, i, nullptr)) capabilities.formats.emplace_back(format);
  }
  if (ipp_attribute_t* copies = ippFindAttribute(response, "copies-supported", IPP_TAG_RANGE)) {
    int upper = 0;
    ippGetRange(copies, 0, &upper);
    if (upper >= 1) capabilities.maxCopies = upper;
  }
  ippDelete(response);
  if (cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
    return Expected<PrinterCapabilities>::failure(requestFailure(
        http,
        sentence(QT_TRANSLATE_NOOP("zarvik-print", "Cannot ask what the printer %1 takes: "), {shownText(name)})));
  }
  return capabilities;
}

Expected<std::shared_ptr<CupsPpdHost>> openQueue(http_t* http, std::string_view queue) {
  using Result = Expected<std::shared_ptr<CupsPpdHost>>;
  std::string name(queue);
  char path[1024] = "";
  time_t modified = 0;
  http_status_t status = cupsGetPPD3(http, name.c_str(), &modified, path, sizeof path);
  if (status != HTTP_STATUS_OK) {
    if (path[0] != '\0') ::unlink(path);
    return Result::failure(requestFailure(
        http,
        sentence(QT_TRANSLATE_NOOP("zarvik-print", "Cannot get the PPD of the printer %1: "), {shownText(name)})));
  }
  ScopedPpd ppd(ppdOpenFile(path));
  ::unlink(path);
  if (!ppd) {
    int line = 0;
    ppd_status_t error = ppdLastError(&line);
    return Result::failure(
        sentence(QT_TRANSLATE_NOOP("zarvik-print", "The PPD of the printer %1 is not valid: %2 at line %3."),
                 {shownText(name), ppdErrorString(error), std::to_string(line)}));
  }
  return std::make_shared<CupsPpdHost>(std::move(ppd));
}

Expected<int> submitJob(http_t* http, const JobRequest& request) {
  auto cannotRead = [](const std::filesystem::path& file, int error) {
    return Expected<int>::failure(sentence(QT_TRANSLATE_NOOP("zarvik-print", "Cannot read %1: %2."),
                                           {shownText(file.string()), std::strerror(error)}));
  };
  if (request.files.empty())
    return Expected<int>::failure(sentence(QT_TRANSLATE_NOOP("zarvik-print", "There is no document to print.")));
  for (const auto& file : request.files) {
    FileReader reader(file);
    if (!reader.ok()) return cannotRead(file, errno);
  }
  ScopedOptions options;
  for (const auto& [name, value] : request.options) options.add(name.c_str(), value.c_str());

  const std::string& printer = request.printer;
  int job = createJob(http, printer, request.title, options);
  if (job == 0) {
    return Expected<int>::failure(requestFailure(
        http, sentence(QT_TRANSLATE_NOOP("zarvik-print", "CUPS did not take the job for %1: "), {shownText(printer)})));
  }

  auto fail = [&](const char* source, const std::string& document) {
    std::string message = requestFailure(http, sentence(source, {shownText(document)}));
    cupsCancelJob2(http, printer.c_str(), job, /*purge=*/0);
    return Expected<int>::failure(message);
  };
  for (std::size_t i = 0; i < request.files.size(); ++i) {
    const auto& file = request.files[i];
    const std::string document = file.filename().string();
    const int last = i + 1 == request.files.size() ? 1 : 0;
    if (cupsStartDocument(http, printer.c_str(), job, document.c_str(), request.format.c_str(), last) !=
        HTTP_STATUS_CONTINUE) {
      return fail(QT_TRANSLATE_NOOP("zarvik-print", "CUPS did not take the document %1: "), document);
    }
    FileReader reader(file);
    char buffer[32768];
    ssize_t n = 0;
    while ((n = reader.read(buffer, sizeof buffer)) > 0) {
      if (cupsWriteRequestData(http, buffer, static_cast<std::size_t>(n)) != HTTP_STATUS_CONTINUE) {
        return fail(QT_TRANSLATE_NOOP("zarvik-print", "Sending %1 to CUPS failed: "), document);
      }
    }
    if (n < 0) {
      int error = errno;
      cupsFinishDocument(http, printer.c_str());
      cupsCancelJob2(http, printer.c_str(), job, /*purge=*/0);
      return cannotRead(file, error);
    }
    if (cupsFinishDocument(http, printer.c_str()) > IPP_STATUS_OK_CONFLICTING) {
      return fail(QT_TRANSLATE_NOOP("zarvik-print", "CUPS did not accept the document %1: "), document);
    }
  }
  return job;
}

Expected<JobStatus> jobStatus(http_t* http, std::string_view printer, int jobId) {
  std::string name(printer);
  cups_job_t* jobs = nullptr;
  int count = cupsGetJobs2(http, &jobs, name.c_str(), /*myjobs=*/0, CUPS_WHICHJOBS_ALL);
  if (count < 0) {
    return Expected<JobStatus>::failure(requestFailure(
        http, sentence(QT_TRANSLATE_NOOP("zarvik-print", "Cannot get the jobs of %1: "), {shownText(name)})));
  }
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
  if (!found) {
    return Expected<JobStatus>::failure(sentence(QT_TRANSLATE_NOOP("zarvik-print", "The printer %1 has no job %2."),
                                                 {shownText(name), std::to_string(jobId)}));
  }
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
