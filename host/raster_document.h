// Documents the engraver's queue takes as they are: CUPS raster, which the
// queue's PPD passes to the backend without a filter.
#pragma once

#include <filesystem>

#include "host/status.h"

namespace zarvik::host {

// The MIME type of CUPS raster documents.
inline constexpr char kCupsRasterFormat[] = "application/vnd.cups-raster";

// Writes a CUPS raster document of one blank page, one bit per pixel, of
// `widthPoints` by `heightPoints` at `dotsPerInch`.
Status writeBlankRasterPage(const std::filesystem::path& path, unsigned dotsPerInch, unsigned widthPoints,
                            unsigned heightPoints);

}  // namespace zarvik::host
