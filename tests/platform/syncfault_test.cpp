// Whole-file writes through the work file never put a version in place that
// may not have reached the disk.
#include "platform/atomicwrite.h"
#include "platform/faultinjection.h"
#include "platform/fileapi.h"
#include "platform/inifile.h"
#include "stateguards.h"
#include "testsupport.h"

#include <cerrno>
#include <functional>
#include <gtest/gtest.h>

using testsupport::entries;
using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

TEST(SyncFault, AFailedFlushFailsTheWriteAndKeepsTheOldFile)
{
    ScratchDir dir;
    const QString target = dir.file("settings.ini");
    writeFile(target, "[A]\nkey=old\n");
    const struct {
        const char* what;
        std::function<int()> write;
    } writes[] = {
        {"writeFileAtomically", [&] { return platform::writeFileAtomically(target, "replaced\n"); }},
        {"IniFile::writeString", [&] { return platform::IniFile(target).writeString("A", "key", "new"); }},
        {"syncFile", [&] { return platform::syncFile(target); }},
    };
    for (const auto& w : writes) {
        {
            const testsupport::FaultScope fault;
            platform::injectFault(platform::FaultOp::Sync, 1, EIO);
            EXPECT_EQ(w.write(), 1117) << w.what;  // the code of an I/O error
            EXPECT_TRUE(platform::faultFired()) << w.what;
        }
        EXPECT_EQ(readFile(target), "[A]\nkey=old\n") << w.what;
        EXPECT_EQ(entries(dir.path()), QStringList{"settings.ini"}) << w.what;
    }
    EXPECT_EQ(platform::IniFile(target).writeString("A", "key", "new"), 0);
    EXPECT_EQ(platform::IniFile(target).readString("A", "key"), "new");
}
