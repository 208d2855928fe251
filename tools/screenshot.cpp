// screenshot FILE.png             saves the whole X display (DISPLAY) as PNG
// screenshot --move-pointer X Y   moves the pointer through XTest
#include "harness/harness.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    try {
        tamaruka::test::XClient client;
        if (argc == 4 && std::string(argv[1]) == "--move-pointer") {
            client.movePointer(std::atoi(argv[2]), std::atoi(argv[3]));
            return 0;
        }
        if (argc != 2) {
            std::fprintf(stderr, "usage: screenshot FILE.png | --move-pointer X Y\n");
            return 2;
        }
        if (!client.capture().savePng(argv[1])) {
            std::fprintf(stderr, "screenshot: cannot write %s\n", argv[1]);
            return 1;
        }
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "screenshot: %s\n", error.what());
        return 1;
    }
}
