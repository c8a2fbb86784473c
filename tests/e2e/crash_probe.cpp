// A Windows program that crashes on purpose: the whole-program runs check that Wine ends it at
// once, printing its stack, rather than leaving it in a debugger that waits for a click.
#include <cstdio>

int main() {
    std::puts("writing through a null pointer");
    std::fflush(stdout);
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return 0;
}
