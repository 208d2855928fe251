#pragma once
#include <functional>
#include <optional>
#include <string>

#include "dib/dib_decoder.h"
#include "dib/dib_image.h"

namespace tamaruka {

// Shows one loader error to the user (the renderer passes its "Error" box).
using LoaderErrorSink = std::function<void(const std::string& text)>;

// "Failed to open DIB file %s.\n" with the file name in place.
std::string dibOpenFailureText(const std::string& fileName);

// Most of a file the loader reads: far above any sprite and any picture a
// texture takes in reasonable memory. A longer file is read only that far, so
// pixel data beyond it fails to convert.
inline constexpr std::size_t DibMaxFileBytes = std::size_t{64} << 20;

// Reads a bitmap file into memory and decodes it within the limits. On
// failure it passes exactly one message to showLoaderError and returns
// nothing; a missing, unreadable or empty file is an open failure.
std::optional<DibImage> loadDibImage(const std::string& fileName,
                                     const LoaderErrorSink& showLoaderError,
                                     const DibLimits& limits = {});

}  // namespace tamaruka
