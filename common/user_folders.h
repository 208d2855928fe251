#pragma once
#include <optional>
#include <string>

namespace tamaruka {

// The user's home folder: $HOME, or the password database's entry when HOME
// is unset or empty; nullopt when neither names one, or the one named is no
// existing folder.
std::optional<std::string> homeFolder();

// Whether this user can write in the folder, or, where it does not exist
// yet, make it: its nearest existing ancestor is a folder the user may write.
bool folderCanBeWritten(const std::string& folder);

// An XDG base folder: the variable's value when it is an absolute path (the
// XDG rules ignore a relative one), else <home>/<fallbackUnderHome>; nullopt
// when there is no home folder either.
std::optional<std::string> xdgFolder(const char* variable, const char* fallbackUnderHome);

// $XDG_RUNTIME_DIR when it is an absolute path naming this user's own folder
// that no other user may enter; nullopt otherwise, so that a folder another
// user could have prepared (a shared /tmp) is never taken.
std::optional<std::string> privateRuntimeFolder();

// Whether the open folder is this user's own and no other user may enter it:
// the test privateRuntimeFolder() makes, for any folder.
bool isOwnPrivateFolder(int folderFd);

}  // namespace tamaruka
