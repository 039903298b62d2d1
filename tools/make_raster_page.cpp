// Writes a one-page CUPS raster document, the kind of document the
// engraver's queue takes as it is.
// Usage: zarvik-raster-page FILE [DPI]
#include <cstdlib>
#include <iostream>

#include "host/raster_document.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: zarvik-raster-page FILE [DPI]\n";
    return 2;
  }
  unsigned dotsPerInch = argc == 3 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 75;
  if (dotsPerInch == 0 || dotsPerInch > 1200) {
    std::cerr << "zarvik-raster-page: the resolution must be from 1 to 1200 dpi\n";
    return 2;
  }
  // An A4 page.
  zarvik::host::Status written = zarvik::host::writeBlankRasterPage(argv[1], dotsPerInch, 595, 842);
  if (!written.ok()) {
    std::cerr << "zarvik-raster-page: " << written.message() << "\n";
    return 1;
  }
  return 0;
}
