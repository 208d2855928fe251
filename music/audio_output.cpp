#include "music/audio_output.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "common/session_bus_autolaunch.h"

namespace tamaruka {

namespace {

std::mutex sessionMutex;
std::weak_ptr<AudioSession> currentSession;

std::mutex sourcesMutex;
std::vector<PcmMixSource*> sources;

void mixSources(void*, Uint8* stream, int length) {
    std::lock_guard lock(sourcesMutex);
    for (PcmMixSource* source : sources) {
        source->mixInto(reinterpret_cast<std::int16_t*>(stream),
                        static_cast<std::size_t>(length) / (2 * sizeof(std::int16_t)));
    }
}

}  // namespace

std::shared_ptr<AudioSession> openAudioSession() {
    std::lock_guard lock(sessionMutex);
    if (auto session = currentSession.lock()) return session;
    preventSessionBusAutolaunch();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
    static const bool decodersLoaded = (Mix_Init(MIX_INIT_MP3), true);
    (void)decodersLoaded;
    // No format changes allowed: SDL converts, and every source can rely on the
    // CD's own format. 1024 frames a buffer (23 ms) keeps the wake-ups few and
    // the close short: SDL lets two buffers drain before the device closes, so
    // 2048 frames made every music stop take about 130 ms.
    if (Mix_OpenAudioDevice(kAudioOutputRate, AUDIO_S16SYS, 2, 1024, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    Mix_SetPostMix(mixSources, nullptr);
    std::shared_ptr<AudioSession> session(new AudioSession);
    currentSession = session;
    return session;
}

AudioSession::~AudioSession() {
    std::lock_guard lock(sessionMutex);
    // SDL_mixer and SDL count their opens, so a session opened meanwhile keeps
    // the output running.
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioSession::addSource(PcmMixSource* source) {
    std::lock_guard lock(sourcesMutex);
    if (std::find(sources.begin(), sources.end(), source) == sources.end()) sources.push_back(source);
}

void AudioSession::removeSource(PcmMixSource* source) {
    std::lock_guard lock(sourcesMutex);
    sources.erase(std::remove(sources.begin(), sources.end(), source), sources.end());
}

std::uint32_t listedAudioOutputDevices() {
    const int listed = SDL_GetNumAudioDevices(0);
    return listed > 0 ? static_cast<std::uint32_t>(listed) : 1u;
}

}  // namespace tamaruka
