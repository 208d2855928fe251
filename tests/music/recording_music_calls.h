#pragma once
// A fake of the nine music calls that writes each call's name to its log; the
// saver run's fake logs its platform calls into the same log.
#include <string>
#include <vector>

#include "music/background_music.h"

namespace tamaruka::test {

class RecordingMusicCalls : public MusicOperations {
public:
    std::vector<std::string> log;
    bool cdWatching = true;

    void CdOpen() override { log.push_back("CdOpen"); }
    void CdWatch() override { log.push_back("CdWatch"); }
    bool CdWatching() override { return cdWatching; }
    void CdClose() override { log.push_back("CdClose"); }
    void Mp3Open() override { log.push_back("Mp3Open"); }
    void Mp3Loop() override { log.push_back("Mp3Loop"); }
    void Mp3Close() override { log.push_back("Mp3Close"); }
    void WavPlay() override { log.push_back("WavPlay"); }
    void WavStop() override { log.push_back("WavStop"); }
};

}  // namespace tamaruka::test
