// A restoring run's values are checked before anything is touched: the
// message says which value is wrong and what would be right.
#include "installer/restorerequest.h"
#include "platform/result.h"
#include "platform/winerror.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

TEST(RestoreRequest, NamesTheWrongValueAndTheRange)
{
    const struct {
        const char* name;
        const char* generation;
        QStringList problemLines;  // after "Restore error code:87"; none when the values stand
    } cases[] = {
        {"Stock.exe", "1", {}},
        {"Stock.exe", "10", {}},
        {"Stock.exe", " 7 ", {}},
        {"Stock.exe", "abc", {installer::kNotAGeneration.arg("abc")}},
        {"Stock.exe", "0", {installer::kNotAGeneration.arg("0")}},
        {"Stock.exe", "11", {installer::kNotAGeneration.arg("11")}},
        {"Stock.exe", "2.5", {installer::kNotAGeneration.arg("2.5")}},
        {"Stock.exe", "", {installer::kNotAGeneration.arg("")}},
        {"../Stock.exe", "1", {installer::kNotAProgramName.arg("../Stock.exe")}},
        {"..", "x", {installer::kNotAProgramName.arg(".."), installer::kNotAGeneration.arg("x")}},
    };
    for (const auto& c : cases) {
        const platform::Result<void> checked = installer::checkrestorerequest(c.name, c.generation);
        if (c.problemLines.isEmpty()) {
            EXPECT_TRUE(checked.ok()) << c.name << " " << c.generation << " " << checked.message().toStdString();
            EXPECT_EQ(installer::restoregenerationof(c.generation), QString(c.generation).trimmed().toInt());
            continue;
        }
        EXPECT_EQ(checked.code(), platform::winerr::InvalidParameter) << c.name << " " << c.generation;
        EXPECT_EQ(checked.message(), "Restore error code:87\n" + c.problemLines.join('\n'))
            << c.name << " " << c.generation;
    }
    // The range is named, with what each end means.
    EXPECT_TRUE(installer::kNotAGeneration.contains("1 (.X01, the newest backup) to 10 (.X10, the oldest)"));
}

}  // namespace
