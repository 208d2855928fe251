#pragma once
#include <cstdint>

namespace tamaruka {

// MCI's documented error values (MCIERR_BASE 256 plus an offset).
namespace mci_error {
inline constexpr std::int32_t kBase = 256;
inline constexpr std::int32_t kInvalidDeviceId = kBase + 1;        // 257
inline constexpr std::int32_t kUnrecognizedKeyword = kBase + 3;    // 259
inline constexpr std::int32_t kUnrecognizedCommand = kBase + 5;    // 261
inline constexpr std::int32_t kHardware = kBase + 6;               // 262
inline constexpr std::int32_t kInvalidDeviceName = kBase + 7;      // 263
inline constexpr std::int32_t kOutOfMemory = kBase + 8;            // 264
inline constexpr std::int32_t kDeviceOpen = kBase + 9;             // 265
inline constexpr std::int32_t kCannotLoadDriver = kBase + 10;      // 266
inline constexpr std::int32_t kMissingCommandString = kBase + 11;  // 267
inline constexpr std::int32_t kParamOverflow = kBase + 12;         // 268
inline constexpr std::int32_t kMissingStringArgument = kBase + 13; // 269
inline constexpr std::int32_t kBadInteger = kBase + 14;            // 270
inline constexpr std::int32_t kMissingParameter = kBase + 17;      // 273
inline constexpr std::int32_t kUnsupportedFunction = kBase + 18;   // 274
inline constexpr std::int32_t kFileNotFound = kBase + 19;          // 275
inline constexpr std::int32_t kDeviceNotReady = kBase + 20;        // 276
inline constexpr std::int32_t kInternal = kBase + 21;              // 277
inline constexpr std::int32_t kCannotUseAll = kBase + 23;          // 279
inline constexpr std::int32_t kExtensionNotFound = kBase + 25;     // 281
inline constexpr std::int32_t kOutOfRange = kBase + 26;            // 282
inline constexpr std::int32_t kFlagsNotCompatible = kBase + 28;    // 284
inline constexpr std::int32_t kDeviceTypeRequired = kBase + 31;    // 287
inline constexpr std::int32_t kDuplicateAlias = kBase + 33;        // 289
inline constexpr std::int32_t kBadConstant = kBase + 34;           // 290
inline constexpr std::int32_t kMissingDeviceName = kBase + 36;     // 292
inline constexpr std::int32_t kBadTimeFormat = kBase + 37;         // 293
inline constexpr std::int32_t kNoClosingQuote = kBase + 38;        // 294
inline constexpr std::int32_t kDuplicateFlags = kBase + 39;        // 295
inline constexpr std::int32_t kInvalidFile = kBase + 40;           // 296
inline constexpr std::int32_t kNoElementAllowed = kBase + 45;      // 301
inline constexpr std::int32_t kFilenameRequired = kBase + 48;      // 304
inline constexpr std::int32_t kExtraCharacters = kBase + 49;       // 305
inline constexpr std::int32_t kDeviceNotInstalled = kBase + 50;    // 306
inline constexpr std::int32_t kWaveOutputsUnsuitable = kBase + 70; // 326
}  // namespace mci_error

// The text of an error value, or nullptr when the value is not one of ours.
const char* mciErrorText(std::int32_t code);

}  // namespace tamaruka
