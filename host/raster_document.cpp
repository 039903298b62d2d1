#include "host/raster_document.h"

#include <cups/raster.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace zarvik::host {

Status writeBlankRasterPage(const std::filesystem::path& path, unsigned dotsPerInch, unsigned widthPoints,
                            unsigned heightPoints) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Status::failure("Cannot create " + path.string() + ": " + std::strerror(errno) + ".");
  cups_raster_t* raster = cupsRasterOpen(fd, CUPS_RASTER_WRITE);
  if (raster == nullptr) {
    ::close(fd);
    return Status::failure("Cannot write raster to " + path.string() + ".");
  }
  cups_page_header2_t header{};
  header.HWResolution[0] = header.HWResolution[1] = dotsPerInch;
  header.PageSize[0] = widthPoints;
  header.PageSize[1] = heightPoints;
  header.cupsWidth = widthPoints * dotsPerInch / 72;
  header.cupsHeight = heightPoints * dotsPerInch / 72;
  header.cupsBitsPerColor = 1;
  header.cupsBitsPerPixel = 1;
  header.cupsBytesPerLine = (header.cupsWidth + 7) / 8;
  header.cupsColorOrder = CUPS_ORDER_CHUNKED;
  header.cupsColorSpace = CUPS_CSPACE_K;
  header.cupsNumColors = 1;
  header.NumCopies = 1;

  bool written = cupsRasterWriteHeader2(raster, &header) != 0;
  std::vector<unsigned char> line(header.cupsBytesPerLine, 0);  // 0 is white in K
  for (unsigned y = 0; written && y < header.cupsHeight; ++y) {
    written = cupsRasterWritePixels(raster, line.data(), static_cast<unsigned>(line.size())) == line.size();
  }
  cupsRasterClose(raster);
  bool closed = ::close(fd) == 0;
  if (!written || !closed) return Status::failure("Cannot write raster to " + path.string() + ".");
  return Status::success();
}

}  // namespace zarvik::host
