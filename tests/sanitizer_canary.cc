// Reads one element past an array: the sanitizer build must stop this program, proving that
// the sanitizers are really on for the test run.
#include <cstdio>
#include <cstdlib>

int main(int argc, char**) {
    volatile int* values = new int[4]();
    const int index = argc + 3;  // 4: one past the end, unknown to the compiler
    std::printf("%d\n", values[index]);
    delete[] values;
    return 0;
}
