#include "lib/sysutils.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vek;
using testsupport::EnvironmentScope;
using testsupport::ScratchDir;

namespace {

// A shell script that leaves its arguments, one a line, and the folder it ran
// in, as `result` in the folder named by its first argument. It writes a work
// file and renames it, so a reader never sees half of it.
QByteArray recorderScript()
{
    return "#!/bin/sh\n"
           "out=\"$1\"; shift\n"
           "{ pwd; printf '%s\\n' \"$@\"; } > \"$out.work\" && mv \"$out.work\" \"$out\"\n";
}

void writeScript(const QString& path, const QByteArray& text)
{
    testsupport::writeFile(path, text);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Waits for a started program to leave its file; empty when it never comes.
QByteArray awaitFile(const QString& path)
{
    (void)QTest::qWaitFor([&] { return QFile::exists(path); }, 10000);  // the content check below fails
    return testsupport::readFile(path);
}

// A scratch folder with the recorder as "recorder", a "bin" folder put first
// on PATH, and a "work" folder for programs to run in.
class ShellStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(bin()));
        ASSERT_TRUE(QDir().mkpath(work()));
        writeScript(recorder(), recorderScript());
    }
    QString recorder() const { return dir.file(QStringLiteral("recorder")); }
    QString bin() const { return dir.file(QStringLiteral("bin/")); }
    QString work() const { return dir.file(QStringLiteral("work")); }
    QString result() const { return dir.file(QStringLiteral("result")); }
    // A stand-in for a desktop command, recording how it was called.
    void fakeCommand(const QString& name, const QByteArray& body) { writeScript(bin() + name, "#!/bin/sh\n" + body); }
    QByteArray path() const { return QFile::encodeName(bin()) + ":/usr/bin:/bin"; }

    ScratchDir dir;
};

}  // namespace

TEST_F(ShellStart, StartsAProgramInTheFolderWithItsParametersSplitAsAShellWould)
{
    int code = -1;
    ASSERT_TRUE(shellexecute(recorder(), QStringLiteral("\"%1\" \"two words\" plain").arg(result()), work(), code, 1,
                             QString()));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(awaitFile(result()), QFile::encodeName(QDir(work()).canonicalPath()) + "\ntwo words\nplain\n");
}

TEST_F(ShellStart, FindsABareProgramNameOnThePathAndTakesTheVerbsOpenAndEmpty)
{
    EnvironmentScope pathScope("PATH", path());
    ASSERT_TRUE(QFile::copy(recorder(), bin() + QStringLiteral("recorder-on-path")));
    for (const QString& verb : {QString(), QStringLiteral("open"), QStringLiteral("OPEN")}) {
        QFile::remove(result());
        int code = -1;
        ASSERT_TRUE(
            shellexecute(QStringLiteral("recorder-on-path"), result() + QStringLiteral(" x"), work(), code, 1, verb))
            << verb.toStdString();
        EXPECT_EQ(code, 0);
        EXPECT_TRUE(awaitFile(result()).endsWith("\nx\n")) << verb.toStdString();
    }
}

TEST_F(ShellStart, DocumentsFoldersAndWebAddressesGoToTheDesktopOpener)
{
    EnvironmentScope pathScope("PATH", path());
    fakeCommand(QStringLiteral("xdg-open"), "printf '%s\\n' \"$@\" > \"$0.work\" && mv \"$0.work\" \"$0.called\"\n");
    const QString called = bin() + QStringLiteral("xdg-open.called");
    const QString document = dir.file(QStringLiteral("notes.txt"));
    testsupport::writeFile(document, "hello");

    const struct {
        QString file;
        QString verb;
        QByteArray opened;
    } cases[] = {
        {document, QString(), QFile::encodeName(document) + "\n"},
        {work(), QString(), QFile::encodeName(work()) + "\n"},
        {QStringLiteral("https://example.org/a?b=c"), QString(), "https://example.org/a?b=c\n"},
        // "explore" opens even a program's folder entry with the opener.
        {recorder(), QStringLiteral("explore"), QFile::encodeName(recorder()) + "\n"},
    };
    for (const auto& c : cases) {
        QFile::remove(called);
        int code = -1;
        ASSERT_TRUE(shellexecute(c.file, QStringLiteral("ignored"), QString(), code, 1, c.verb))
            << c.file.toStdString();
        EXPECT_EQ(code, 0);
        EXPECT_EQ(awaitFile(called), c.opened) << c.file.toStdString();
    }
}

TEST_F(ShellStart, FailuresComeBackAsCodes)
{
    EnvironmentScope pathScope("PATH", path());  // no opener on it
    const QString document = dir.file(QStringLiteral("notes.txt"));
    testsupport::writeFile(document, "hello");
    const QString notAProgram = dir.file(QStringLiteral("garbage"));
    writeScript(notAProgram,
                QByteArray("\x7f"
                           "ELF garbage",
                           12));

    const struct {
        QString file;
        QString folder;
        QString verb;
        int code;
    } cases[] = {
        {dir.file(QStringLiteral("missing")), QString(), QString(), platform::winerr::FileNotFound},
        {QStringLiteral("no-such-program-anywhere"), QString(), QString(), platform::winerr::FileNotFound},
        {dir.file(QStringLiteral("nofolder/missing")), QString(), QString(), platform::winerr::PathNotFound},
        {QString(), QString(), QString(), platform::winerr::FileNotFound},
        {recorder(), dir.file(QStringLiteral("nofolder")), QString(), platform::winerr::PathNotFound},
        {recorder(), QString(), QStringLiteral("print"), shellerr::NoAssociation},
        {document, QString(), QString(), shellerr::NoAssociation},
        {notAProgram, QString(), QString(), shellerr::BadExeFormat},
    };
    for (const auto& c : cases) {
        int code = -1;
        EXPECT_FALSE(shellexecute(c.file, QString(), c.folder, code, 1, c.verb)) << c.file.toStdString();
        EXPECT_EQ(code, c.code) << c.file.toStdString() << " " << c.verb.toStdString();
    }
}

TEST_F(ShellStart, RunelevatedStartsTheProgramThroughPkexec)
{
    EnvironmentScope pathScope("PATH", path());
    // pkexec, once the user has given the password, becomes the program.
    fakeCommand(QStringLiteral("pkexec"), "exec \"$@\"\n");
    for (const bool throughVerb : {false, true}) {
        QFile::remove(result());
        int code = -1;
        const QString parameters = QStringLiteral("\"%1\" \"quoted arg\"").arg(result());
        ASSERT_TRUE(throughVerb ? shellexecute(recorder(), parameters, work(), code, -1, QStringLiteral("RunAs"))
                                : runelevated(recorder(), parameters, work(), code, 1));
        EXPECT_EQ(code, 0);
        EXPECT_EQ(awaitFile(result()), QFile::encodeName(QDir(work()).canonicalPath()) + "\nquoted arg\n");
    }
}

TEST_F(ShellStart, RunelevatedSaysWhyItStartedNothing)
{
    const QString document = dir.file(QStringLiteral("notes.txt"));
    testsupport::writeFile(document, "hello");
    const struct {
        const char* pkexec;  // the fake's body; null: no pkexec installed
        QString file;
        int code;
    } cases[] = {
        {nullptr, recorder(), shellerr::ElevationUnavailable},
        // The user closed the password dialog, or may not act as administrator.
        {"exit 126\n", recorder(), shellerr::Cancelled},
        {"exit 127\n", recorder(), shellerr::Cancelled},
        // Checked before anyone is asked for a password.
        {"exec \"$@\"\n", dir.file(QStringLiteral("missing")), platform::winerr::FileNotFound},
        {"exec \"$@\"\n", document, platform::winerr::AccessDenied},
    };
    EnvironmentScope pathScope("PATH", path());
    for (const auto& c : cases) {
        QFile::remove(bin() + QStringLiteral("pkexec"));
        if (c.pkexec)
            fakeCommand(QStringLiteral("pkexec"), c.pkexec);
        int code = -1;
        EXPECT_FALSE(runelevated(c.file, result(), QString(), code, 1)) << (c.pkexec ? c.pkexec : "none");
        EXPECT_EQ(code, c.code) << (c.pkexec ? c.pkexec : "none");
    }
    EXPECT_FALSE(QFile::exists(result()));
}

namespace {

// The places localaddress looks, replaced for one test; the kept address is
// forgotten on both sides.
class AddressSourcesScope : testsupport::StateGuard {
public:
    explicit AddressSourcesScope(AddressSources sources) : saved_(addresssources())
    {
        setaddresssources(std::move(sources));
        resetlocaladdress();
    }
    ~AddressSourcesScope()
    {
        setaddresssources(saved_);
        resetlocaladdress();
    }

private:
    AddressSources saved_;
};

constexpr quint32 ip(quint8 a, quint8 b, quint8 c, quint8 d)
{
    return quint32(a) << 24 | quint32(b) << 16 | quint32(c) << 8 | d;
}

}  // namespace

TEST(LocalAddress, PrintsTheBytesInNetworkOrderAndLooksPastALoopbackName)
{
    using List = std::vector<quint32>;
    const struct {
        List host;
        List interfaces;
        QString address;
    } cases[] = {
        {{ip(192, 168, 1, 10)}, {ip(10, 0, 0, 5)}, "192.168.1.10"},
        // The name resolves to loopback first: its first other address.
        {{ip(127, 0, 1, 1), ip(172, 16, 5, 4)}, {ip(10, 0, 0, 5)}, "172.16.5.4"},
        // Only to loopback, as on many Linux machines: an interface's address.
        {{ip(127, 0, 1, 1)}, {ip(10, 0, 0, 5), ip(172, 16, 0, 1)}, "10.0.0.5"},
        // Nothing else to be had: the loopback address the name gave.
        {{ip(127, 0, 1, 1)}, {}, "127.0.1.1"},
        {{}, {ip(10, 0, 0, 5)}, "1.0.0.7"},
        {{}, {}, "1.0.0.7"},
    };
    for (const auto& c : cases) {
        AddressSourcesScope scope({[&] { return c.host; }, [&] { return c.interfaces; }});
        EXPECT_EQ(localaddress(), c.address);
    }
}

TEST(LocalAddress, KeepsAFoundAddressAndTriesAgainAfterNone)
{
    int lookups = 0;
    std::vector<quint32> host;
    std::vector<quint32> interfaces;
    AddressSourcesScope scope({[&] {
                                   ++lookups;
                                   return host;
                               },
                               [&] { return interfaces; }});
    EXPECT_EQ(localaddress(), kNoLocalAddress);
    EXPECT_EQ(localaddress(), kNoLocalAddress);
    EXPECT_EQ(lookups, 2);

    // A loopback answer is given but not kept either.
    host = {ip(127, 0, 1, 1)};
    EXPECT_EQ(localaddress(), "127.0.1.1");
    interfaces = {ip(192, 168, 7, 9)};
    EXPECT_EQ(localaddress(), "192.168.7.9");
    EXPECT_EQ(lookups, 4);

    host = {ip(10, 9, 8, 7)};
    EXPECT_EQ(localaddress(), "192.168.7.9");
    EXPECT_EQ(lookups, 4);
}

TEST(LocalAddress, TheRealMachineGivesAnIPv4AddressOrTheFallback)
{
    AddressSourcesScope scope({});
    const QString address = localaddress();
    in_addr parsed{};
    EXPECT_EQ(::inet_pton(AF_INET, address.toLatin1().constData(), &parsed), 1) << address.toStdString();
    EXPECT_EQ(localaddress(), address);
}

TEST(HttpPrefix, EncryptedUnlessPlainIsAskedWhateverTheFolderHolds)
{
    ScratchDir dir;
    testsupport::writeFile(dir.file(QStringLiteral("libeay32.dll")), "");
    for (const QString& folder : {QString(), dir.path(), dir.file(QStringLiteral("missing"))}) {
        EXPECT_EQ(httpprefix(folder, false), "https://") << folder.toStdString();
        EXPECT_EQ(httpprefix(folder, true), "http://") << folder.toStdString();
    }
}

TEST(Debugger, ReadsTheTracerFromTheStatusText)
{
    const struct {
        QByteArray status;
        qint64 tracer;
    } cases[] = {
        {"Name:\tx\nState:\tR (running)\nTracerPid:\t0\nUid:\t1000\n", 0},
        {"Name:\tx\nTracerPid:\t4711\nUid:\t1000\n", 4711},
        {"TracerPid:\t12", 12},
        {"Name:\tx\nXTracerPid:\t5\n", 0},
        {"Name:\tx\nTracerPid:\tabc\n", 0},
        {"Name:\tx\n", 0},
        {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tracerpid(c.status), c.tracer) << c.status.toStdString();
}

TEST(Debugger, ATracedProcessKnowsItAndAnUntracedOneDoesNot)
{
    for (const bool traced : {false, true}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (traced && ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
                ::_exit(2);
            ::_exit(indebugger() ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == 2)
            GTEST_SKIP() << "this machine does not allow tracing";
        EXPECT_EQ(WEXITSTATUS(status), traced ? 1 : 0) << (traced ? "traced" : "untraced");
    }
}
