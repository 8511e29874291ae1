#pragma once
// The shared body of the test programs' mains: a QApplication on the offscreen
// platform, so that real widgets work without a display, then every test of
// the program.
#include <QApplication>
#include <gtest/gtest.h>

namespace testsupport {

// `prepare` runs once the application exists, before the first test.
template <typename Prepare> int runalltests(int argc, char** argv, Prepare prepare)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    prepare();
    return RUN_ALL_TESTS();
}

}  // namespace testsupport
