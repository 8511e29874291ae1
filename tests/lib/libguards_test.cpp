// The library's guards put back what they found: the state before the outer
// guard after it, and the outer guard's value after an inner one.
#include "lib/folders.h"
#include "libguards.h"
#include "testsupport.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using testsupport::ScratchDir;

namespace {

// A call that does nothing but can be told from others by its number.
struct Numbered {
    int n;
    void operator()(const QString&, const QString&) const {}
    bool operator()(QStringList&, const QString&) const { return false; }
};

template <typename Call> QString callName(const Call& call)
{
    if (!call)
        return QStringLiteral("(none)");
    const Numbered* numbered = call.template target<Numbered>();
    return numbered ? QString::number(numbered->n) : QStringLiteral("(another)");
}

}  // namespace

TEST(LibGuards, EachPutsBackWhatItFoundAlsoWhenNested)
{
    const struct {
        const char* what;
        std::function<QString()> read;
        // A guard setting the first (1) or second (2) value.
        std::function<std::shared_ptr<void>(int)> guard;
        QString first, second;  // as read() gives them
    } rows[] = {
        {"retry wait", [] { return QString::number(vek::retrywaitlimit()); },
         [](int n) { return std::make_shared<testsupport::RetryWaitScope>(n * 7); }, "7", "14"},
        {"warning call", [] { return callName(vek::warningcall()); },
         [](int n) { return std::make_shared<testsupport::WarningCallScope>(Numbered{n}); }, "1", "2"},
        {"warning call, none inside", [] { return callName(vek::warningcall()); },
         [](int n) {
             return std::make_shared<testsupport::WarningCallScope>(n == 1 ? vek::WarningCall(Numbered{n}) : nullptr);
         },
         "1", "(none)"},
        {"download call", [] { return callName(vek::downloadlistcall()); },
         [](int n) { return std::make_shared<testsupport::DownloadCallScope>(Numbered{n}); }, "1", "2"},
        {"data folder base",
         [] {
             return vek::datafolderbasesettled() ? vek::datafolderbase().value_or(QStringLiteral("(none)"))
                                                 : QStringLiteral("(unsettled)");
         },
         [](int n) {
             return std::make_shared<testsupport::DataFolderBaseScope>(
                 n == 1 ? std::optional<QString>(QStringLiteral("/one/")) : std::nullopt);
         },
         "/one/", "(none)"},
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

// The files folder is fixed on first use: the guard has it read again on
// entry and on leaving, so neither side keeps a folder of the other's run
// parameters.
TEST(LibGuards, TheFilesFolderIsReadAgainOnBothSidesOfItsGuard)
{
    const ScratchDir dir;
    const testsupport::RunArgumentsScope outerArgs({dir.file("one/TessarineInstaller")});
    const testsupport::FilesFolderScope outerFolder;
    EXPECT_EQ(vek::filesfolder(), dir.file("one/files/"));
    {
        const testsupport::RunArgumentsScope args({dir.file("two/TessarineInstaller")});
        const testsupport::FilesFolderScope folder;
        EXPECT_EQ(vek::filesfolder(), dir.file("two/files/"));
    }
    EXPECT_EQ(vek::filesfolder(), dir.file("one/files/"));
}
