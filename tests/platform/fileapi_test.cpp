#include "platform/fileapi.h"
#include "platform/winerror.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace platform;
using testsupport::ScratchDir;

TEST(FileApi, MoveRefusesExistingTarget)
{
    ScratchDir dir;
    testsupport::writeFile(dir.file("a"), "A");
    testsupport::writeFile(dir.file("b"), "B");
    EXPECT_EQ(moveFile(dir.file("a"), dir.file("b")), winerr::AlreadyExists);
    EXPECT_EQ(testsupport::readFile(dir.file("b")), "B");
    EXPECT_EQ(moveFile(dir.file("a"), dir.file("c")), 0);
    EXPECT_EQ(testsupport::readFile(dir.file("c")), "A");
}
