// Files replaced whole: a reader, or the file after a crash, has either the
// old contents or the new, never a mix and never an empty file.
#pragma once

#include <filesystem>
#include <string_view>

#include "host/status.h"

namespace zarvik::host {

// Writes `contents` to a temporary file in the folder of `path` (created
// when missing), flushes it to disk, renames it over `path` and flushes the
// folder. On failure `path` is as it was and no temporary file is left.
// The temporary file's name has a start of the file's name, within NAME_MAX.
Status writeFileAtomically(const std::filesystem::path& path, std::string_view contents);

// Makes SIGTERM, SIGINT and SIGHUP remove the temporary file of a write in
// progress before the process ends as the signal would end it.
void removeTemporaryFilesOnTermination();

}  // namespace zarvik::host
