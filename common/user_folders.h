#pragma once
#include <optional>
#include <string>

namespace tamaruka {

// The user's home folder: $HOME, or the password database's entry when HOME
// is unset or empty; nullopt when neither names one.
std::optional<std::string> homeFolder();

// An XDG base folder: the variable's value when it is an absolute path (the
// XDG rules ignore a relative one), else <home>/<fallbackUnderHome>; nullopt
// when there is no home folder either.
std::optional<std::string> xdgFolder(const char* variable, const char* fallbackUnderHome);

}  // namespace tamaruka
