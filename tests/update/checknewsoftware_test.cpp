// Which program files the service reports newer: only files that exist
// locally and are older than the server's date, one call per name of a list,
// a failing name not stopping the others, the DEBUG message and the debugger.
#include "lib/stamps.h"
#include "lib/webtext.h"
#include "platform/controls/tstdctrls.h"
#include "update/newsoftware.h"
#include "updatefixture.h"

#include <QCoreApplication>
#include <QEvent>

#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vek;
using updatetest::sentArgument;

namespace {

// What a label showed: its text each time it was painted anew.
class LabelRecorder : public QObject {
public:
    explicit LabelRecorder(platform::TLabel& label) : label_(label)
    {
        label_.resize(400, 20);
        label_.show();
        label_.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && (shown.isEmpty() || shown.last() != label_.text()))
            shown.append(label_.text());
        return false;
    }
    QStringList shown;

private:
    platform::TLabel& label_;
};

const QDateTime kLongAgo(QDate(2020, 1, 1), QTime(8, 0));
const QDateTime kFuture(QDate(2099, 1, 1), QTime(8, 0));

// A reply of the service: lines separated by double quotes, percent-encoded.
QByteArray serviceReply(const QStringList& lines)
{
    return urlencode(lines.join(u'"'), false, false).toLatin1();
}

class CheckTest : public updatetest::UpdateFixture {};

}  // namespace

TEST_F(CheckTest, OnlyLocalFilesOlderThanTheServersDateAreListed)
{
    localFile("Old.exe", "old", kLongAgo);
    localFile("Current.exe", "current", kFuture);
    localFile("Short.exe", "short", kLongAgo);
    service.reply("default.reply",
                  serviceReply({"Old.exe=1|05/03/2024 10:11:12|x", "Current.exe=1|05/03/2024 10:11:12",
                                "Missing.exe=1|05/03/2099 10:11:12", "Short.exe=1",
                                "../programs/Old.exe=1|05/03/2024 10:11:12"}));
    tnewsoftware updater;
    EXPECT_TRUE(updater.checknewsoftware(local() + "Old.exe", QString(), nullptr));
    EXPECT_EQ(updater.toinstalllist, QStringList{"Old.exe=1|05/03/2024 10:11:12|x"});
    EXPECT_TRUE(updater.errorstr.isEmpty()) << updater.errorstr.toStdString();

    const auto received = service.requests();
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(sentArgument(received[0]),
              "HSD=" + todayddmmyy() + "&Folder=c:\\domains\\update.invalid\\html\\downloads\\Old.exe");
    EXPECT_EQ(received[0].path, "/cgi-bin/vekinstaller/vekwscgi.exe/soap");

    // Nothing newer: false, and the list of the last check is gone.
    service.reply("default.reply", serviceReply({"Old.exe=1|01/01/2019 10:11:12"}));
    EXPECT_FALSE(updater.checknewsoftware(local() + "Old.exe", "/srv/web", nullptr));
    EXPECT_TRUE(updater.toinstalllist.isEmpty());
    EXPECT_EQ(sentArgument(service.requests().last()), "HSD=" + todayddmmyy() + "&Folder=/srv/web/Old.exe");
}

TEST_F(CheckTest, AListFileAsksForEachNameAndAFailingNameDoesNotStopTheOthers)
{
    for (const char* name : {"A.exe", "B.exe", "C.exe"})
        localFile(name, "x", kLongAgo);
    testsupport::writeFile(local() + "Programs.PROGSTXT", "A.exe\r\nB.exe\r\nC.exe\r\n");
    service.reply("B.exe.fault", "No such folder");
    service.reply("C.exe.reply", serviceReply({"C.exe=1|05/03/2024 10:11:12"}));
    platform::TLabel label;
    LabelRecorder labels(label);
    tnewsoftware updater;
    EXPECT_TRUE(updater.checknewsoftware(local() + "Programs.PROGSTXT", QString(), &label));
    EXPECT_EQ(updater.toinstalllist, QStringList{"C.exe=1|05/03/2024 10:11:12"});
    EXPECT_EQ(updater.errorstr, "Error:No such folder");
    EXPECT_TRUE(label.caption().isEmpty());

    const auto received = service.requests();
    ASSERT_EQ(received.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(sentArgument(received[i]).endsWith(QStringLiteral("\\%1.exe").arg(QChar(u'A' + i))));
    const QStringList counted = labels.shown.filter("Calling Web Service");
    EXPECT_EQ(counted,
              (QStringList{"Calling Web Service 0 of 3", "Calling Web Service 1 of 3", "Calling Web Service 2 of 3"}));
    EXPECT_TRUE(labels.shown.contains("C.exe=1|05/03/2024 10:11:12")) << labels.shown.join(" / ").toStdString();
}

TEST_F(CheckTest, AnUnreadableDateIsAnErrorOfThatName)
{
    localFile("Old.exe", "old", kLongAgo);
    service.reply("default.reply", serviceReply({"Old.exe=1|yesterday"}));
    tnewsoftware updater;
    EXPECT_FALSE(updater.checknewsoftware(local() + "Old.exe", QString(), nullptr));
    EXPECT_TRUE(updater.errorstr.startsWith("Error:")) << updater.errorstr.toStdString();
    EXPECT_TRUE(updater.errorstr.contains("yesterday")) << updater.errorstr.toStdString();
}

TEST_F(CheckTest, WithDebugEachCallShowsItsArgumentAndTheStartOfTheReply)
{
    localFile("Old.exe", "old", kLongAgo);
    const QString longLine = "Old.exe=1|05/03/2024 10:11:12|" + QString(600, u'z');
    service.reply("default.reply", serviceReply({longLine}));
    QStringList shown;
    testsupport::WarningCallScope warnings([&](const QString& message, const QString&) { shown.append(message); });
    tnewsoftware updater;
    EXPECT_TRUE(updater.checknewsoftware(local() + "Old.exe", QString(), nullptr));
    EXPECT_TRUE(shown.isEmpty()) << "no message without DEBUG";

    updater.debug = true;  // the program's DEBUG
    EXPECT_TRUE(updater.checknewsoftware(local() + "Old.exe", QString(), nullptr));
    ASSERT_EQ(shown.size(), 1);
    const QString encoded = urlencode(
        "HSD=" + todayddmmyy() + "&Folder=c:\\domains\\update.invalid\\html\\downloads\\Old.exe", false, false);
    EXPECT_EQ(shown[0], "Folder=" + local() + "\r\n" + encoded + "\r\ngf=" + longLine.left(500));
}

TEST_F(CheckTest, UnderADebuggerEveryListedLocalFileCountsAsNewer)
{
    localFile("Current.exe", "current", kFuture);
    service.reply("default.reply",
                  serviceReply({"Current.exe=1|05/03/2024 10:11:12", "Missing.exe=1|05/03/2024 10:11:12"}));
    tnewsoftware updater;
    EXPECT_FALSE(updater.checknewsoftware(local() + "Current.exe", QString(), nullptr)) << "not traced";

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
            ::_exit(2);
        tnewsoftware traced;
        const bool listed = traced.checknewsoftware(local() + "Current.exe", QString(), nullptr);
        ::_exit(listed && traced.toinstalllist == QStringList{"Current.exe=1|05/03/2024 10:11:12"} ? 1 : 0);
    }
    // The child stops at every signal it gets while traced; it goes on with it.
    int status = 0;
    for (;;) {
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (!WIFSTOPPED(status))
            break;
        ::ptrace(PTRACE_CONT, child, nullptr, reinterpret_cast<void*>(static_cast<long>(WSTOPSIG(status))));
    }
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "this machine does not allow tracing";
    EXPECT_EQ(WEXITSTATUS(status), 1) << "the traced check lists the existing file only";
}

// A reply the client cannot read as a string is a failure, not "nothing newer".
TEST_F(CheckTest, AReturnHoldingElementsIsAnErrorNotNothingNewer)
{
    localFile("Old.exe", "old", kLongAgo);
    service.reply("Old.exe.envelope",
                  "<?xml version='1.0' encoding='UTF-8'?>"
                  "<soap11env:Envelope xmlns:soap11env=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                  "xmlns:tns=\"urn:ProcessorIntf-IProcessor\"><soap11env:Body><tns:doGetFileDataResponse>"
                  "<tns:doGetFileDataResult><line>Old.exe%3D1%7C05%2F03%2F2024%2010%3A11%3A12</line>"
                  "</tns:doGetFileDataResult></tns:doGetFileDataResponse></soap11env:Body></soap11env:Envelope>");
    tnewsoftware updater;
    EXPECT_FALSE(updater.checknewsoftware(local() + "Old.exe", QString(), nullptr));
    EXPECT_TRUE(updater.errorstr.startsWith("Error:")) << updater.errorstr.toStdString();
    EXPECT_TRUE(updater.errorstr.contains("holds elements")) << updater.errorstr.toStdString();
}
