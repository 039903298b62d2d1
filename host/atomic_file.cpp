#include "host/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

namespace zarvik::host {
namespace {

std::string reason(int error) { return std::strerror(error); }

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
  if (created) return Status::failure("Cannot create the folder " + folder.string() + ": " + created.message() + ".");

  std::string temporary = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  Descriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
  if (file.get() < 0) {
    return Status::failure("Cannot create a temporary file in " + folder.string() + ": " + reason(errno) + ".");
  }
  auto fail = [&](std::string_view step, int error) {
    ::unlink(temporary.c_str());
    return Status::failure("Cannot " + std::string(step) + " " + path.string() + ": " + reason(error) + ".");
  };
  if (int error = writeAll(file.get(), contents)) return fail("write", error);
  if (::fsync(file.get()) != 0) return fail("flush", errno);
  if (int error = file.close()) return fail("write", error);
  if (::rename(temporary.c_str(), path.c_str()) != 0) return fail("replace", errno);

  // The rename is durable only once the folder's entry is on disk.
  Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() < 0 || ::fsync(directory.get()) != 0) {
    return Status::failure("Saved " + path.string() + ", but cannot flush its folder: " + reason(errno) + ".");
  }
  return Status::success();
}

}  // namespace zarvik::host
