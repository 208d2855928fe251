#pragma once
#include <functional>
#include <optional>
#include <string>

#include "dib/dib_image.h"

namespace tamaruka {

// Shows one loader error to the user (the renderer passes its "Error" box).
using LoaderErrorSink = std::function<void(const std::string& text)>;

// "Failed to open DIB file %s.\n" with the file name in place.
std::string dibOpenFailureText(const std::string& fileName);

// Reads and decodes a bitmap file. On failure it passes exactly one message
// to showLoaderError and returns nothing.
std::optional<DibImage> loadDibImage(const std::string& fileName,
                                     const LoaderErrorSink& showLoaderError);

}  // namespace tamaruka
