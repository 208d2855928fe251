#pragma once
#include <cstdint>
#include <string>

#include "music/mci_platform.h"

namespace tamaruka {

// Thin layer over the MCI string functions: sends one command, collects the
// reply or error text and hands back the MCI result code. It never reports
// anything itself. Only the window thread calls it.
class MciCommandLayer {
public:
    static constexpr std::uint32_t kReplySize = 512;
    static constexpr std::uint32_t kErrorTextSize = 256;
    static constexpr std::int32_t kEmptyCommand = -1;

    explicit MciCommandLayer(MciPlatform& platform);

    // Sends command; message receives the reply or the error text.
    std::int32_t MciSend(const std::string& command, std::string& message);
    // The reply, or "Error:" followed by the code when the send failed.
    std::string MciQuery(const std::string& command);
    // "play <device>[ from <from>][ to <to>]"; the text is left in MciMessage.
    std::int32_t MciPlay(const std::string& device, const std::string& from, const std::string& to);
    // Sends with no reply buffer and fetches no error text.
    std::int32_t MciSendQuiet(const std::string& command);

    // The platform, for callers that read a reply into a buffer of their own.
    MciPlatform& platform() { return platform_; }
    const std::string& MciMessage() const { return mciMessage_; }

private:
    MciPlatform& platform_;
    // Reused by every send and never cleared: an earlier, longer reply can stay
    // behind the NUL of a later one.
    char mciReply_[kReplySize] = {};
    char mciErrorText_[kErrorTextSize] = {};
    std::string mciMessage_;
};

}  // namespace tamaruka
