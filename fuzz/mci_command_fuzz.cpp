// libFuzzer target for MCI command strings: the input is a script of
// commands, one a line, sent to the interpreter over a disc and a music file
// that only pretend to play. Every command ends with a reply that fits its
// buffer and is terminated, and every error it returns has its text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "music/cd_audio_device.h"
#include "music/mci_interpreter.h"
#include "music/mpeg_video_device.h"

namespace {

using namespace tamaruka;

// Four tracks of ten seconds, the third a data track.
struct PretendDrive : CdDrive {
    bool isPlaying = false;
    std::int32_t heard = 0;
    std::optional<CdTableOfContents> tableOfContents() override {
        CdTableOfContents toc;
        for (int i = 0; i < 4; ++i) toc.tracks.push_back({i + 1, i * 750, i != 2});
        toc.leadOut = 3000;
        return toc;
    }
    bool trayOpen() override { return false; }
    std::int32_t play(std::int32_t from, std::int32_t) override {
        heard = from, isPlaying = true;
        return 0;
    }
    void stop() override { isPlaying = false; }
    bool playing() override { return isPlaying; }
    std::int32_t position() override { return heard; }
};

struct PretendTrack : MusicTrack {
    bool isPlaying = false;
    double at = 0;
    bool play(double from) override { return at = from, isPlaying = true; }
    void stop() override { isPlaying = false; }
    bool playing() override { return isPlaying; }
    double positionSeconds() override { return at; }
    double lengthSeconds() override { return 125.5; }
};

struct PretendDevices : MciDeviceFactory {
    std::unique_ptr<MciDevice> openCdAudio(const std::string&, std::int32_t&) override {
        return std::make_unique<CdAudioDevice>(std::make_unique<PretendDrive>());
    }
    std::unique_ptr<MciDevice> openMpegVideo(const std::string&, std::int32_t&) override {
        return std::make_unique<MpegVideoDevice>(std::make_unique<PretendTrack>());
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PretendDevices devices;
    MciInterpreter mci(devices);
    std::string_view script(reinterpret_cast<const char*>(data), size);
    while (!script.empty()) {
        const std::size_t end = script.find('\n');
        const std::string command(script.substr(0, end));
        script = end == std::string_view::npos ? std::string_view() : script.substr(end + 1);

        // A short buffer as well, to find replies written past their room.
        for (std::uint32_t room : {std::uint32_t{128}, std::uint32_t{4}}) {
            auto reply = std::make_unique<char[]>(room);
            std::memset(reply.get(), 'x', room);
            const std::int32_t code = mci.sendString(command.c_str(), reply.get(), room);
            if (code == 0 && std::memchr(reply.get(), '\0', room) == nullptr) std::abort();
            char text[128];
            if (code != 0 && !mci.getErrorString(code, text, sizeof text)) std::abort();
        }
    }
    mci.closeAll();
    return 0;
}
