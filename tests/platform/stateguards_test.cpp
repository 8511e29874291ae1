// The guards put back what they found: the state before the outer guard after
// it, and the outer guard's value after an inner one of the same kind.
#include "localescope.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QDir>
#include <QLocale>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using testsupport::ScratchDir;

namespace {

QString rectText(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

}  // namespace

TEST(StateGuards, EachPutsBackWhatItFoundAlsoWhenNested)
{
    const ScratchDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.file("one")) && QDir().mkpath(dir.file("two")));
    const char* const variable = "TESSARINE_GUARD_CHECK";
    const struct {
        const char* what;
        std::function<QString()> read;
        // A guard setting the first (1) or second (2) value.
        std::function<std::shared_ptr<void>(int)> guard;
        QString first, second;  // as read() gives them
    } rows[] = {
        {"run arguments",
         [] {
             const auto args = platform::runArgumentsOverride();
             return args ? args->join(u' ') : QStringLiteral("(none)");
         },
         [](int n) {
             return std::make_shared<testsupport::RunArgumentsScope>(QStringList{QStringLiteral("/p%1").arg(n)});
         },
         "/p1", "/p2"},
        {"screen metrics", [] { return rectText(platform::workarea(nullptr)); },
         [](int n) {
             return std::make_shared<testsupport::ScreenMetricsScope>(
                 platform::ScreenMetricsOverride{[n](const QWidget*) { return QRect(0, 0, 1000 * n, 500); }, {}, {}});
         },
         "0,0 1000x500", "0,0 2000x500"},
        {"environment, set",
         [variable] { return qEnvironmentVariableIsSet(variable) ? qEnvironmentVariable(variable) : "(unset)"; },
         [variable](int n) { return std::make_shared<testsupport::EnvironmentScope>(variable, QByteArray::number(n)); },
         "1", "2"},
        {"environment, removed inside",
         [variable] { return qEnvironmentVariableIsSet(variable) ? qEnvironmentVariable(variable) : "(unset)"; },
         [variable](int n) {
             return std::make_shared<testsupport::EnvironmentScope>(
                 variable, n == 1 ? std::optional<QByteArray>("1") : std::nullopt);
         },
         "1", "(unset)"},
        {"current folder", [] { return QDir::currentPath(); },
         [&dir](int n) { return std::make_shared<testsupport::CurrentFolderScope>(dir.file(n == 1 ? "one" : "two")); },
         QDir(dir.file("one")).canonicalPath(), QDir(dir.file("two")).canonicalPath()},
        {"locale snapshot", [] { return QString(platform::libformat().decimalSeparator); },
         [](int n) {
             platform::LocaleFormat f;
             f.decimalSeparator = n == 1 ? u',' : u'#';
             return std::make_shared<testsupport::LocaleScope>(f);
         },
         ",", "#"},
        {"default locale", [] { return QLocale().name(); },
         [](int n) {
             return std::make_shared<testsupport::DefaultLocaleScope>(
                 n == 1 ? QLocale(QLocale::German, QLocale::Germany) : QLocale(QLocale::French, QLocale::France));
         },
         "de_DE", "fr_FR"},
    };
    for (const auto& r : rows) {
        const QString before = r.read();
        {
            const auto outer = r.guard(1);
            EXPECT_EQ(r.read(), r.first) << r.what;
            {
                const auto inner = r.guard(2);
                EXPECT_EQ(r.read(), r.second) << r.what;
            }
            EXPECT_EQ(r.read(), r.first) << r.what;
        }
        EXPECT_EQ(r.read(), before) << r.what;
    }
}

// An armed fault cannot be read back, so the seam guard leaves it disarmed
// instead, also when the test leaves its block early.
TEST(StateGuards, TheFaultSeamIsDisarmedWhenItsGuardGoes)
{
    const auto armAndLeave = [] {
        const testsupport::FaultScope fault;
        platform::injectFault(platform::FaultOp::Open, 1, EIO);
        platform::addFault(platform::FaultOp::Write, 1, EIO);
        return;  // as a failed ASSERT would
    };
    armAndLeave();
    EXPECT_EQ(platform::checkFault(platform::FaultOp::Open), 0);
    EXPECT_EQ(platform::checkFault(platform::FaultOp::Write), 0);
    EXPECT_FALSE(platform::faultFired());
}
