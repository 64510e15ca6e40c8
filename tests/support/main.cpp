// Test entry: a QApplication on the offscreen platform so widget tests can
// create windows; plain tests do not notice it. The environment every test
// relies on is set here, so a test program behaves the same under ctest and
// when run by hand.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("ZR_TEST_BINARY_DIR", ZR_BINARY_DIR, 0);
    setenv("FIREBIRD", ZR_FBROOT, 0);
    setenv("FIREBIRD_LOCK", ZR_FBROOT "/lock", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
