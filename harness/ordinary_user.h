#pragma once
// Programs that refuse root (sway) or start nothing as root (xscreensaver's
// daemon) run as an ordinary user when the tests run as root, as on CI.
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "harness/harness.h"

namespace tamaruka::test {

struct OrdinaryUser {
    std::string name;
    uid_t uid = 0;
    gid_t gid = 0;
};

// "nobody" when the test runs as root; none otherwise, when the programs run
// as the tester. Throws when root finds no such user.
std::optional<OrdinaryUser> ordinaryUserWhenRoot();

// env(1) with `envArgs` (VAR=value and -u VAR, then the command), run as the
// user through runuser, or directly without one.
std::unique_ptr<ChildProcess> startAsUser(const std::optional<OrdinaryUser>& user,
                                          const std::vector<std::string>& envArgs);

// Gives the folder and everything in it to the user; nothing without one.
void giveToUser(const std::optional<OrdinaryUser>& user, const std::string& folder);

}  // namespace tamaruka::test
