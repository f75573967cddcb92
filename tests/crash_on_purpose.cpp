// Crashes at once, for checking that a crashing test program under Wine fails instead of waiting
// on Wine's crash dialog.
#include <cstdint>

int main(int argc, char**) {
    // Null when run without arguments. The compiler can't know that, so it can neither drop the
    // write nor put a trap in its place: the crash is the page fault a stray pointer would give.
    int* volatile nowhere = reinterpret_cast<int*>(static_cast<std::uintptr_t>(argc - 1));
    *nowhere = 1;
    return 0;
}
