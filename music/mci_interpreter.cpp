#include "music/mci_interpreter.h"

#include <charconv>
#include <cstring>
#include <new>

#include "music/mci_error.h"

namespace tamaruka {

namespace {

using Tokens = std::vector<MciToken>;

std::string keyword(const Tokens& tokens, std::size_t index) {
    return index < tokens.size() && !tokens[index].quoted ? lowerAscii(tokens[index].text) : std::string();
}

std::string extensionOf(const std::string& file) {
    const auto dot = file.find_last_of('.');
    const auto slash = file.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return lowerAscii(file.substr(dot + 1));
}

std::int32_t readTrackNumber(const Tokens& tokens, std::size_t index, int& track) {
    if (index >= tokens.size()) return mci_error::kMissingParameter;
    const std::string& text = tokens[index].text;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), track);
    if (ec == std::errc::result_out_of_range) return mci_error::kOutOfRange;
    if (ec != std::errc() || end != text.data() + text.size()) return mci_error::kBadInteger;
    return 0;
}

}  // namespace

MciInterpreter::MciInterpreter(MciDeviceFactory& factory) : factory_(factory) {}

MciInterpreter::~MciInterpreter() { closeAll(); }

void MciInterpreter::closeAll() {
    for (auto& [name, device] : devices_) device->stop();
    devices_.clear();
}

std::int32_t MciInterpreter::sendString(const char* command, char* reply, std::uint32_t replySize) {
    std::string text;
    std::int32_t code = 0;
    try {
        Tokens tokens;
        code = splitMciCommand(command ? std::string_view(command) : std::string_view(), tokens);
        if (code == 0) code = execute(tokens, text);
    } catch (const std::bad_alloc&) {
        code = mci_error::kOutOfMemory;
    } catch (...) {
        code = mci_error::kInternal;
    }
    if (code != 0 || reply == nullptr || replySize == 0) return code;
    // A reply that does not fit is refused, not cut.
    if (text.size() + 1 > replySize) return mci_error::kParamOverflow;
    std::memcpy(reply, text.c_str(), text.size() + 1);
    return 0;
}

bool MciInterpreter::getErrorString(std::int32_t code, char* text, std::uint32_t textSize) {
    const char* message = mciErrorText(code);
    if (message == nullptr || text == nullptr || textSize == 0) return false;
    const std::size_t length = std::min<std::size_t>(std::strlen(message), textSize - 1);
    std::memcpy(text, message, length);
    text[length] = '\0';
    return true;
}

std::int32_t MciInterpreter::execute(const Tokens& tokens, std::string& reply) {
    if (tokens.empty()) return mci_error::kMissingCommandString;
    const std::string verb = keyword(tokens, 0);
    const bool known = verb == "open" || verb == "close" || verb == "play" || verb == "stop" ||
                       verb == "status" || verb == "set";
    if (!known) return mci_error::kUnrecognizedCommand;
    if (tokens.size() < 2) return mci_error::kMissingDeviceName;
    if (verb == "open") return open(tokens);

    const std::string name = lowerAscii(tokens[1].text);
    if (name == "all" && !tokens[1].quoted) {
        if (verb != "close" && verb != "stop") return mci_error::kCannotUseAll;
        if (tokens.size() > 2) return mci_error::kUnrecognizedKeyword;
        if (verb == "close") {
            closeAll();
            return 0;
        }
        for (auto& [alias, device] : devices_) device->stop();
        return 0;
    }
    const auto found = devices_.find(name);
    if (found == devices_.end()) return mci_error::kInvalidDeviceName;
    MciDevice& device = *found->second;

    if (verb == "play") return play(device, tokens);
    if (verb == "status") return status(device, tokens, reply);
    if (verb == "set") return set(device, tokens);
    if (tokens.size() > 2) return mci_error::kUnrecognizedKeyword;
    if (verb == "stop") return device.stop();
    device.stop();
    devices_.erase(found);  // close
    return 0;
}

std::int32_t MciInterpreter::open(const Tokens& tokens) {
    const MciToken& target = tokens[1];
    std::optional<std::string> type, alias;
    for (std::size_t i = 2; i < tokens.size(); ++i) {
        const std::string word = keyword(tokens, i);
        if (word == "shareable") continue;
        if (word != "type" && word != "alias") return mci_error::kUnrecognizedKeyword;
        auto& slot = word == "type" ? type : alias;
        if (slot) return mci_error::kDuplicateFlags;
        if (i + 1 >= tokens.size()) return mci_error::kMissingStringArgument;
        slot = tokens[++i].text;
    }

    std::string deviceType;
    std::string element;
    if (type) {
        deviceType = lowerAscii(*type);
        element = target.text;
    } else if (!target.quoted && (lowerAscii(target.text) == "cdaudio" || lowerAscii(target.text) == "mpegvideo")) {
        deviceType = lowerAscii(target.text);
    } else {
        const std::string extension = extensionOf(target.text);
        if (extension.empty()) return mci_error::kInvalidDeviceName;
        if (extension != "mp3" && extension != "mp2" && extension != "mpa" && extension != "wav") {
            return mci_error::kExtensionNotFound;
        }
        deviceType = "mpegvideo";
        element = target.text;
    }
    if (deviceType != "cdaudio" && deviceType != "mpegvideo") return mci_error::kInvalidDeviceName;
    if (deviceType == "mpegvideo" && element.empty()) return mci_error::kFilenameRequired;

    const std::string name = lowerAscii(alias ? *alias : target.text);
    if (name.empty()) return mci_error::kMissingDeviceName;
    if (devices_.count(name) != 0) return alias ? mci_error::kDuplicateAlias : mci_error::kDeviceOpen;

    std::int32_t error = 0;
    std::unique_ptr<MciDevice> device = deviceType == "cdaudio" ? factory_.openCdAudio(element, error)
                                                                : factory_.openMpegVideo(element, error);
    if (!device) return error != 0 ? error : mci_error::kCannotLoadDriver;
    devices_.emplace(name, std::move(device));
    return 0;
}

std::int32_t MciInterpreter::play(MciDevice& device, const Tokens& tokens) {
    std::optional<std::string> from, to;
    for (std::size_t i = 2; i < tokens.size(); ++i) {
        const std::string word = keyword(tokens, i);
        if (word != "from" && word != "to") return mci_error::kUnrecognizedKeyword;
        auto& slot = word == "from" ? from : to;
        if (slot) return mci_error::kDuplicateFlags;
        if (i + 1 >= tokens.size()) return mci_error::kMissingParameter;
        slot = tokens[++i].text;
    }
    return device.play(from, to);
}

std::int32_t MciInterpreter::status(MciDevice& device, const Tokens& tokens, std::string& reply) {
    MciStatusQuery query;
    const std::string first = keyword(tokens, 2);
    std::size_t next = 3;
    if (first.empty()) return mci_error::kMissingParameter;
    if (first == "mode") {
        query.item = MciStatusItem::Mode;
    } else if (first == "ready") {
        query.item = MciStatusItem::Ready;
    } else if (first == "current" && keyword(tokens, 3) == "track") {
        query.item = MciStatusItem::CurrentTrack;
        next = 4;
    } else if (first == "number" && keyword(tokens, 3) == "of" && keyword(tokens, 4) == "tracks") {
        query.item = MciStatusItem::NumberOfTracks;
        next = 5;
    } else if (first == "media" && keyword(tokens, 3) == "present") {
        query.item = MciStatusItem::MediaPresent;
        next = 4;
    } else if (first == "time" && keyword(tokens, 3) == "format") {
        query.item = MciStatusItem::TimeFormat;
        next = 4;
    } else if (first == "position" || first == "length") {
        query.item = first == "position" ? MciStatusItem::Position : MciStatusItem::Length;
        if (keyword(tokens, 3) == "track") {
            int track = 0;
            if (const std::int32_t code = readTrackNumber(tokens, 4, track); code != 0) return code;
            query.track = track;
            next = 5;
        }
    } else {
        return mci_error::kUnrecognizedKeyword;
    }
    if (next < tokens.size()) return mci_error::kUnrecognizedKeyword;
    return device.status(query, reply);
}

std::int32_t MciInterpreter::set(MciDevice& device, const Tokens& tokens) {
    if (tokens.size() < 3) return mci_error::kMissingParameter;
    if (keyword(tokens, 2) != "time" || keyword(tokens, 3) != "format") return mci_error::kUnrecognizedKeyword;
    if (tokens.size() < 5) return mci_error::kMissingParameter;
    if (tokens.size() > 5) return mci_error::kUnrecognizedKeyword;
    const std::string format = keyword(tokens, 4);
    if (format == "tmsf") return device.setTimeFormat(MciTimeFormat::Tmsf);
    if (format == "msf") return device.setTimeFormat(MciTimeFormat::Msf);
    if (format == "milliseconds" || format == "ms") return device.setTimeFormat(MciTimeFormat::Milliseconds);
    return mci_error::kBadTimeFormat;
}

}  // namespace tamaruka
