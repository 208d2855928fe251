#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "music/mci_command_tokens.h"
#include "music/mci_device.h"
#include "music/mci_platform.h"

namespace tamaruka {

// Our own MCI string interpreter: open, close, play [from x] [to y], stop,
// status and set time format for the "cdaudio" and "MPEGVideo" device types,
// with MCI's error values. Device names and keywords are case-insensitive.
class MciInterpreter : public MciPlatform {
public:
    explicit MciInterpreter(MciDeviceFactory& factory);
    ~MciInterpreter() override;

    std::int32_t sendString(const char* command, char* reply, std::uint32_t replySize) override;
    bool getErrorString(std::int32_t code, char* text, std::uint32_t textSize) override;

    // Closes every open device (stops its sound).
    void closeAll();

private:
    using Tokens = std::vector<MciToken>;
    std::int32_t execute(const Tokens& tokens, std::string& reply);
    std::int32_t open(const Tokens& tokens);
    std::int32_t play(MciDevice& device, const Tokens& tokens);
    std::int32_t status(MciDevice& device, const Tokens& tokens, std::string& reply);
    std::int32_t set(MciDevice& device, const Tokens& tokens);

    MciDeviceFactory& factory_;
    std::map<std::string, std::unique_ptr<MciDevice>> devices_;  // by lower-case alias
};

}  // namespace tamaruka
