// A failure never reads as success, whatever code it was made with, and a
// failure passed on keeps its code and its message.
#include "platform/result.h"
#include "platform/winerror.h"

#include <QString>
#include <gtest/gtest.h>

namespace {

platform::Result<QString> failing(int code)
{
    return platform::fail(code, QStringLiteral("why"));
}

platform::Result<void> passedOn(int code)
{
    const platform::Result<QString> inner = failing(code);
    if (!inner.ok())
        return inner.failure();
    return {};
}

}  // namespace

TEST(Result, AFailureIsNeverSuccessAndKeepsItsCodeWhenPassedOn)
{
    const struct {
        int given;
        int code;
    } cases[] = {
        {platform::winerr::AccessDenied, platform::winerr::AccessDenied},
        // A step that failed without a code of its own (a transfer, a parse)
        // is still a failure.
        {0, platform::winerr::IoDevice},
    };
    for (const auto& c : cases) {
        const platform::Result<void> result = passedOn(c.given);
        EXPECT_FALSE(result.ok()) << c.given;
        EXPECT_EQ(result.code(), c.code) << c.given;
        EXPECT_EQ(result.message(), QStringLiteral("why")) << c.given;
        EXPECT_EQ(failing(c.given).valueOr(QStringLiteral("fallback")), QStringLiteral("fallback"));
    }
    const platform::Result<QString> value = QStringLiteral("body");
    EXPECT_TRUE(value.ok());
    EXPECT_EQ(value.code(), 0);
    EXPECT_TRUE(value.message().isEmpty());
    EXPECT_EQ(value.value(), QStringLiteral("body"));
}
