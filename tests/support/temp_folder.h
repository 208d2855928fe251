#pragma once
// Files for the tests: a fresh folder per test, and whole-file reads and writes.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "harness/harness.h"

namespace tamaruka::test {

// A folder of makeTempDir's, removed as soon as the test is done with it.
class TempFolder {
public:
    TempFolder() : path_(makeTempDir()) {}
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace tamaruka::test
