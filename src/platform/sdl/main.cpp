// Entry point of the Linux screensaver.
#include <cstdio>

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    std::puts("Ravelin: the screensaver shell is not built yet.");
    return 0;
}
