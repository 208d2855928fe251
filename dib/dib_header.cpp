#include "dib/dib_header.h"

namespace tamaruka {

std::uint16_t dibColorCount(const DibHeader& header) {
    std::uint16_t bitCount = header.bitCount;
    if (header.size != DibCoreHeaderSize) {
        if (header.coloursUsed != 0) return static_cast<std::uint16_t>(header.coloursUsed);
    }
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

}  // namespace tamaruka
