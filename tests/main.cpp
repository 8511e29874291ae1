// Shared main of the test programs: a QApplication on the offscreen platform, so
// real widgets work without a display, then every test of the program.
// Messages go through the family's dialogs; the run counts as unattended, so
// a message no test answered is written to stderr instead of waiting.
#include "dialogs/answerseam.h"
#include "dialogs/messagecalls.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    vek::installmessagecalls();
    vek::setunattended(true);
    return RUN_ALL_TESTS();
}
