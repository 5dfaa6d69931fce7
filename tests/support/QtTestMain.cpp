// One QApplication for the whole GoogleTest run, on the offscreen platform unless told otherwise.
#include <cstdlib>

#include <QApplication>
#include <gtest/gtest.h>

#include "tests/support/Portable.h"

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
