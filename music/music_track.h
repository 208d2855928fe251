#pragma once

namespace tamaruka {

// A music file loaded for playing in the background (one at a time plays).
class MusicTrack {
public:
    virtual ~MusicTrack() = default;
    // Plays from the given second; false when the file cannot be played.
    virtual bool play(double fromSeconds) = 0;
    virtual void stop() = 0;
    // False once the file has played to its end, or after stop().
    virtual bool playing() = 0;
    virtual double positionSeconds() = 0;
    virtual double lengthSeconds() = 0;  // negative when unknown
};

}  // namespace tamaruka
