#pragma once
#include <memory>
#include <string>

namespace tamaruka {

// The background music of one tamaruka instance, played by the rules of the
// saver run (CD watch, MP3 repeat, looped WAV) from the user's settings.
class DisplayModeMusic {
public:
    virtual ~DisplayModeMusic() = default;
    // Called once a frame from the drawing loop; runs the CD watch and the MP3
    // repeat check when their intervals have passed, or, while another
    // instance plays, tries now and then to take over. Never waits for it.
    virtual void tick() = 0;
    // Stops the music; called once before the program ends.
    virtual void stop() = 0;
};

// The music for this instance, or nullptr when it plays none: not wanted
// (a preview, --no-music) or no music in the settings. When another instance
// on the same display already plays, this one stays silent and takes over
// once that one ends. `displayName` is the X display's name.
std::unique_ptr<DisplayModeMusic> startDisplayModeMusic(bool wanted, const std::string& displayName);

}  // namespace tamaruka
