#include "music/mci_command_tokens.h"

#include "music/mci_error.h"

namespace tamaruka {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

std::int32_t splitMciCommand(std::string_view command, std::vector<MciToken>& tokens) {
    tokens.clear();
    std::size_t i = 0;
    while (i < command.size()) {
        if (isBlank(command[i])) {
            ++i;
            continue;
        }
        MciToken token;
        if (command[i] == '"') {
            const std::size_t close = command.find('"', i + 1);
            if (close == std::string_view::npos) return mci_error::kNoClosingQuote;
            token.text = std::string(command.substr(i + 1, close - i - 1));
            token.quoted = true;
            i = close + 1;
            if (i < command.size() && !isBlank(command[i])) return mci_error::kExtraCharacters;
        } else {
            const std::size_t start = i;
            while (i < command.size() && !isBlank(command[i])) ++i;
            token.text = std::string(command.substr(start, i - start));
        }
        tokens.push_back(std::move(token));
    }
    return 0;
}

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

}  // namespace tamaruka
