#include "host/atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "host/texts.h"

namespace zarvik::host {
namespace {

std::string reason(int error) { return std::strerror(error); }

// The temporary file being written, for a signal handler to remove.
char inProgress[PATH_MAX] = "";
volatile sig_atomic_t writing = 0;

void removeAndEnd(int signal) {
  if (writing) ::unlink(inProgress);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

// Tells the handler of the temporary file while it exists.
class InProgress {
 public:
  InProgress(const std::string& path, bool exists) {
    if (!exists || path.size() >= sizeof inProgress) return;
    std::memcpy(inProgress, path.c_str(), path.size() + 1);
    writing = 1;
  }
  ~InProgress() { writing = 0; }
  InProgress(const InProgress&) = delete;
  InProgress& operator=(const InProgress&) = delete;
};

// Closes a descriptor on every path out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now, so that a failing close is seen; answers errno or 0.
  int close() {
    int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

int writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

}  // namespace

Status writeFileAtomically(const std::filesystem::path& path, std::string_view contents) {
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  std::error_code created;
  std::filesystem::create_directories(folder, created);
  if (created) {
    return Status::failure(sentence(QT_TRANSLATE_NOOP("zarvik-print", "Cannot create the folder %1: %2."),
                                    {folder.string(), created.message()}));
  }

  // "." and ".XXXXXX" must fit beside the name.
  std::string temporary = (folder / ("." + path.filename().string().substr(0, NAME_MAX - 8) + ".XXXXXX")).string();
  // Set before the file exists, so that a signal never leaves it behind.
  sigset_t terminating, before;
  sigemptyset(&terminating);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&terminating, signal);
  ::pthread_sigmask(SIG_BLOCK, &terminating, &before);
  Descriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
  InProgress named(temporary, file.get() >= 0);
  ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
  if (file.get() < 0) {
    return Status::failure(sentence(QT_TRANSLATE_NOOP("zarvik-print", "Cannot create a temporary file in %1: %2."),
                                    {folder.string(), reason(errno)}));
  }
  auto fail = [&](const char* source, int error) {
    ::unlink(temporary.c_str());
    return Status::failure(sentence(source, {path.string(), reason(error)}));
  };
  const char* cannotWrite = QT_TRANSLATE_NOOP("zarvik-print", "Cannot write %1: %2.");
  if (int error = writeAll(file.get(), contents)) return fail(cannotWrite, error);
  if (::fsync(file.get()) != 0) return fail(QT_TRANSLATE_NOOP("zarvik-print", "Cannot flush %1: %2."), errno);
  if (int error = file.close()) return fail(cannotWrite, error);
  if (::rename(temporary.c_str(), path.c_str()) != 0)
    return fail(QT_TRANSLATE_NOOP("zarvik-print", "Cannot replace %1: %2."), errno);

  // The rename is durable only once the folder's entry is on disk.
  Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() < 0 || ::fsync(directory.get()) != 0) {
    return Status::failure(sentence(QT_TRANSLATE_NOOP("zarvik-print", "Saved %1, but cannot flush its folder: %2."),
                                    {path.string(), reason(errno)}));
  }
  return Status::success();
}

void removeTemporaryFilesOnTermination() {
  struct sigaction action {};
  action.sa_handler = removeAndEnd;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

}  // namespace zarvik::host
