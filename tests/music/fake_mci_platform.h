#pragma once
// A scripted MCI platform: answers each command from a table, records every
// call with the buffer size it was given.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "music/mci_platform.h"
#include "music/wave_sound.h"

namespace tamaruka::test {

struct MciAnswer {
    std::int32_t code = 0;
    std::string reply;
};

struct SentCommand {
    std::string command;
    bool hadReplyBuffer = false;
    std::uint32_t replySize = 0;
};

class FakeMciPlatform : public MciPlatform {
public:
    std::map<std::string, MciAnswer> answers;  // by command; absent ones succeed with ""
    std::vector<SentCommand> sent;
    std::vector<std::uint32_t> errorTextSizes;
    bool errorTextAvailable = true;

    std::int32_t sendString(const char* command, char* reply, std::uint32_t replySize) override {
        sent.push_back({command, reply != nullptr, replySize});
        const auto found = answers.find(command);
        const MciAnswer answer = found == answers.end() ? MciAnswer{} : found->second;
        // Like MCI: the reply and its NUL only, the rest of the buffer untouched.
        if (answer.code == 0 && reply != nullptr && answer.reply.size() < replySize) {
            std::memcpy(reply, answer.reply.c_str(), answer.reply.size() + 1);
        }
        return answer.code;
    }

    bool getErrorString(std::int32_t code, char* text, std::uint32_t textSize) override {
        errorTextSizes.push_back(textSize);
        if (!errorTextAvailable) return false;
        std::snprintf(text, textSize, "text of %d", code);
        return true;
    }

    std::vector<std::string> commands() const {
        std::vector<std::string> result;
        for (const SentCommand& s : sent) result.push_back(s.command);
        return result;
    }
};

class FakeWaveSound : public WaveSound {
public:
    std::uint32_t devices = 1;
    struct Call {
        bool hasName;
        std::string name;
        std::uint32_t flags;
    };
    std::vector<Call> calls;

    std::uint32_t outputDeviceCount() override { return devices; }
    bool playSound(const char* soundName, std::uint32_t flags) override {
        calls.push_back({soundName != nullptr, soundName ? soundName : "", flags});
        return true;
    }
};

}  // namespace tamaruka::test
