#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace tamaruka {

// Takes the next piece of the new file's content; an error when it could
// not be written (the disk is full, the file-size limit is reached).
using ContentSink = std::function<std::error_code(std::string_view piece)>;
// Hands the whole new content to the sink, piece by piece; returns the first
// error (its own or the sink's), which abandons the write.
using ContentProducer = std::function<std::error_code(const ContentSink& sink)>;

// Writes the content to a temporary file in the target's folder, flushes it
// to the disk and renames it over the target, so that no reader ever sees
// half a file and a crash, a full disk or a file-size limit leaves the old
// file as it was and no temporary file behind. An existing target keeps its
// permission bits and, written by root, its owner (where a link stood, the
// folder's owner gets the file). A symbolic link at the path is replaced by the new file
// itself, never written through: whoever planted the link (or the user, when
// the program runs as root) never has another file changed or taken over.
// With createFolder the missing folders are made first (mode 0700: they hold
// one user's files). The content streams through a small buffer, so memory
// does not grow with the file. While it writes, the file-size signal is
// ignored, so that a file-size limit fails the write (EFBIG) instead of
// killing the process. Returns what went wrong, or no error.
std::error_code replaceFileStreaming(const std::string& path, const ContentProducer& produce,
                                     bool createFolder = false);

// Makes each missing folder of the path with mode 0700 (they hold one
// user's files); folders that exist stay as they are.
std::error_code makeMissingFolders(const std::string& folder);

// The same for content already in memory; false when anything failed.
bool replaceFileAtomically(const std::string& path, std::string_view bytes,
                           bool createFolder = false);

}  // namespace tamaruka
