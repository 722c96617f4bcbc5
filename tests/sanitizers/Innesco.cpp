// vdx-innesco-sanitizer ub|memoria: a program with one fault of the kind
// named, so that the sanitizer build's test can check each sanitizer reports
// it and ends the program with a status no program of ours gives.

#include <climits>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "ub") == 0) {
        int x = INT_MAX - 1;
        x += argc; // INT_MAX + 1: a signed overflow
        return x == 0 ? 1 : 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "memoria") == 0) {
        auto* p = static_cast<volatile int*>(std::malloc(4 * sizeof(int)));
        const int v = p[argc + 2]; // one past the end
        std::free(const_cast<int*>(p));
        return v;
    }
    return 2;
}
