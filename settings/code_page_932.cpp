#include "settings/code_page_932.h"

#include <cerrno>
#include <iconv.h>

namespace tamaruka {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; returns false at the first byte sequence
    // that cannot be converted, with in/left pointing at it.
    bool convert(const char*& in, std::size_t& left, std::string& out)
    {
        char buffer[256];
        while (left > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result =
                iconv(handle_, const_cast<char**>(&in), &left, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
        }
        // Flush any shift state (none for these encodings, but cheap).
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(handle_, nullptr, nullptr, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        return true;
    }

private:
    iconv_t handle_;
};

}  // namespace

std::optional<std::string> utf8ToCp932(std::string_view utf8)
{
    Converter converter("CP932", "UTF-8");
    if (!converter.valid()) return std::nullopt;
    std::string out;
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    if (!converter.convert(in, left, out)) return std::nullopt;
    return out;
}

std::string cp932ToUtf8(std::string_view cp932)
{
    Converter converter("UTF-8", "CP932");
    std::string out;
    if (!converter.valid()) return out;
    const char* in = cp932.data();
    std::size_t left = cp932.size();
    while (!converter.convert(in, left, out)) {
        out += "\xEF\xBF\xBD";  // U+FFFD for the byte that is not code page 932
        ++in;
        --left;
    }
    return out;
}

}  // namespace tamaruka
