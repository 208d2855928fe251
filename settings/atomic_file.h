#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tamaruka {

// Writes the bytes to a temporary file in the target's folder, flushes it to
// the disk and renames it over the target, so that no reader ever sees half a
// file and a crash or a full disk leaves the old file as it was. An existing
// target keeps its permission bits. With createFolder the missing folders are
// made first. False when anything failed.
bool replaceFileAtomically(const std::string& path, std::string_view bytes,
                           bool createFolder = false);

}  // namespace tamaruka
