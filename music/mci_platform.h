#pragma once
#include <cstdint>

namespace tamaruka {

// The two MCI string functions the command layer calls: one sends a command
// string, the other gives the text of an error value. The real one is our own
// interpreter (MciInterpreter); tests use a fake.
class MciPlatform {
public:
    virtual ~MciPlatform() = default;

    // Sends one command string (NUL-terminated). Returns 0 or an MCI error
    // value. A reply, if any, is written NUL-terminated into reply within
    // replySize bytes; reply may be null with replySize 0.
    virtual std::int32_t sendString(const char* command, char* reply, std::uint32_t replySize) = 0;

    // Writes the text of an error value NUL-terminated into text within
    // textSize bytes. False when there is no text for the value.
    virtual bool getErrorString(std::int32_t code, char* text, std::uint32_t textSize) = 0;
};

}  // namespace tamaruka
