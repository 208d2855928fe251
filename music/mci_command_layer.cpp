#include "music/mci_command_layer.h"

#include <cstring>

namespace tamaruka {

namespace {

// A buffer's text ends at its first NUL; the bound guards against a platform
// that filled the whole buffer.
std::string textUpToNul(const char* buffer, std::uint32_t size) {
    return std::string(buffer, strnlen(buffer, size));
}

}  // namespace

MciCommandLayer::MciCommandLayer(MciPlatform& platform) : platform_(platform) {}

std::int32_t MciCommandLayer::MciSend(const std::string& command, std::string& message) {
    if (command.empty()) {
        message = "コマンド文字列が指定されていません";
        return kEmptyCommand;
    }
    const std::int32_t code = platform_.sendString(command.c_str(), mciReply_, kReplySize);
    if (code != 0) {
        if (platform_.getErrorString(code, mciErrorText_, kErrorTextSize)) {
            message = textUpToNul(mciErrorText_, kErrorTextSize);
        } else {
            message = "Error (文字列が取れません)";
        }
        return code;
    }
    message = textUpToNul(mciReply_, kReplySize);
    return 0;
}

std::string MciCommandLayer::MciQuery(const std::string& command) {
    const std::int32_t code = MciSend(command, mciMessage_);
    if (code != 0) return "Error:" + std::to_string(code);
    return mciMessage_;
}

std::int32_t MciCommandLayer::MciPlay(const std::string& device, const std::string& from,
                                      const std::string& to) {
    std::string command = "play " + device;
    if (!from.empty()) command += " from " + from;
    if (!to.empty()) command += " to " + to;
    return MciSend(command, mciMessage_);
}

std::int32_t MciCommandLayer::MciSendQuiet(const std::string& command) {
    return platform_.sendString(command.c_str(), nullptr, 0);
}

}  // namespace tamaruka
