#include "harness/ordinary_user.h"

#include <filesystem>
#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

namespace tamaruka::test {

std::optional<OrdinaryUser> ordinaryUserWhenRoot() {
    if (::getuid() != 0) return std::nullopt;
    const passwd* user = ::getpwnam("nobody");
    if (!user) throw std::runtime_error("no ordinary user 'nobody' to run programs as");
    return OrdinaryUser{user->pw_name, user->pw_uid, user->pw_gid};
}

std::unique_ptr<ChildProcess> startAsUser(const std::optional<OrdinaryUser>& user,
                                          const std::vector<std::string>& envArgs) {
    if (!user) return std::make_unique<ChildProcess>("/usr/bin/env", envArgs);
    std::vector<std::string> command = {"-u", user->name, "--", "env"};
    command.insert(command.end(), envArgs.begin(), envArgs.end());
    return std::make_unique<ChildProcess>("/usr/sbin/runuser", command);
}

void giveToUser(const std::optional<OrdinaryUser>& user, const std::string& folder) {
    if (!user) return;
    namespace fs = std::filesystem;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (::chown(entry.path().c_str(), user->uid, user->gid) != 0)
            throw std::runtime_error("cannot give " + entry.path().string() + " to " + user->name);
    if (::chown(folder.c_str(), user->uid, user->gid) != 0)
        throw std::runtime_error("cannot give " + folder + " to " + user->name);
}

}  // namespace tamaruka::test
