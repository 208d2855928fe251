// libFuzzer target for the INI reader and writer over any file content (code
// page 932 or not): reading never fails or runs past its limit, and a key
// written into the file reads back as written while the other keys keep
// their values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz/fuzz_scratch_folder.h"
#include "settings/ini_file.h"

namespace {

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tamaruka;
    const std::string file = fuzz::scratchFolder() + "/Tamaruka.ini";
    writeFile(file, data, size);

    // The keys the programs read, and one in Japanese.
    const std::string before = readProfileString(file, "Tamaruka", "Music");
    for (const char* key : {"Pic", "Kosu", "Speed"}) {
        if (readProfileString(file, "Tamaruka", key).size() > profileValueLimit * 3) std::abort();
    }
    readProfileString(file, "\xE8\xA8\xAD\xE5\xAE\x9A", "\xE5\x80\xA4");

    // "花火" in UTF-8: two characters of code page 932.
    const std::string value = "C:\\\xE8\x8A\xB1\xE7\x81\xAB.mid";
    if (writeProfileString(file, "Fuzz", "Written", value)) {
        if (readProfileString(file, "Fuzz", "Written") != value) std::abort();
        // Another section's key is left as it was, unless the file named it
        // in a section that the write just created or reached.
        if (readProfileString(file, "Tamaruka", "Music") != before) std::abort();
    }
    return 0;
}
