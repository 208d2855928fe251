#include "music/mci_error.h"

namespace tamaruka {

const char* mciErrorText(std::int32_t code) {
    using namespace mci_error;
    switch (code) {
    case kInvalidDeviceId: return "Invalid device ID. Use the ID given to the device when it was opened.";
    case kUnrecognizedKeyword: return "The command has an unrecognized parameter. Check the keyword spelling.";
    case kUnrecognizedCommand: return "The command is not recognized. Check the command spelling.";
    case kHardware: return "The device reports a hardware problem or cannot produce sound.";
    case kInvalidDeviceName: return "The specified device is not open or is not recognized by MCI.";
    case kOutOfMemory: return "There is not enough memory to perform this operation.";
    case kDeviceOpen: return "The device name is already in use as an alias. Use a unique alias.";
    case kCannotLoadDriver: return "The device driver could not be loaded.";
    case kMissingCommandString: return "No command was specified.";
    case kParamOverflow: return "The reply does not fit the return buffer. Use a larger buffer.";
    case kMissingStringArgument: return "The command needs a text parameter. Please supply one.";
    case kBadInteger: return "The specified value is not a valid integer for this command.";
    case kMissingParameter: return "The command needs a parameter. Please supply one.";
    case kUnsupportedFunction: return "The device cannot carry out this command.";
    case kFileNotFound: return "The specified file cannot be found. Check the path and file name.";
    case kDeviceNotReady: return "The device is not ready. Check that a disc is in the drive.";
    case kInternal: return "A problem occurred in initializing MCI.";
    case kCannotUseAll: return "The device name \"all\" is not allowed for this command.";
    case kExtensionNotFound: return "No device type is associated with the file name extension.";
    case kOutOfRange: return "The specified value is out of range for this command.";
    case kFlagsNotCompatible: return "The specified parameters cannot be used together.";
    case kDeviceTypeRequired: return "The device type cannot be told from the name. Give the type.";
    case kDuplicateAlias: return "The specified alias is already in use by an open device.";
    case kBadConstant: return "The value of a parameter is not one the command accepts.";
    case kMissingDeviceName: return "No device name was given. Give the device or alias name.";
    case kBadTimeFormat: return "The specified time format is not valid for this device.";
    case kNoClosingQuote: return "A closing double quotation mark is missing from the parameter.";
    case kDuplicateFlags: return "A parameter or value was given twice. Give it only once.";
    case kInvalidFile: return "The specified file cannot be played on this device. It may be corrupt or of another format.";
    case kNoElementAllowed: return "This device does not use a file name.";
    case kFilenameRequired: return "A file name is required for this device.";
    case kExtraCharacters: return "Characters follow a quoted text. Remove them.";
    case kDeviceNotInstalled: return "The specified device is not installed on the system.";
    case kWaveOutputsUnsuitable: return "No audio output device can play this sound.";
    default: return nullptr;
    }
}

}  // namespace tamaruka
