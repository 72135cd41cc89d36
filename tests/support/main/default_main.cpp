// Entry of every C++ test program that needs nothing special.
#include "support/TestMain.h"

int main(int argc, char** argv) {
    return RunTests(argc, argv);
}
