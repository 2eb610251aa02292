// pelmora-cli: the terminal front end of Pelmora.
#include "Version.h"

#include <cstdio>

int main() {
    std::printf("pelmora-cli %s\n", PELMORA_VERSION);
    return 0;
}
