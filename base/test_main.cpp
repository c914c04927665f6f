// main() for the test programs without widgets. Tests read and write numbers and files in the
// "C" locale whatever the caller's environment says, as the programs do.

#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
