#include "faultpoints.h"
#include "lib/stamps.h"
#include "platform/faultinjection.h"
#include "unprivileged.h"
#include "web/vekpost.h"
#include "webfixture.h"
#include "webservers.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

using namespace vek;
using testsupport::entries;
using testsupport::readFile;
using testsupport::writeFile;
using webtest::documentBytes;
using webtest::TestServer;
using webtest::toStd;

namespace {

constexpr int kDocumentSize = 200000;

// The routes every download test needs, on an HTTP or HTTPS server.
void addDownloadRoutes(TestServer& server)
{
    auto& r = server.routes();
    const std::string document = toStd(documentBytes(kDocumentSize));
    r.Get("/doc", [document](const httplib::Request&, httplib::Response& res) {
        res.set_content(document, "application/octet-stream");
    });
    r.Get("/old", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/hop"); });
    r.Get("/hop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/doc", 301); });
    r.Get("/gone", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/missing"); });
    r.Get("/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop"); });
    r.Get("/tofile", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("file:///etc/hostname"); });
    r.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content("no such page", "text/plain");
    });
    r.Get("/empty", [](const httplib::Request&, httplib::Response& res) { res.set_content("", "text/plain"); });
    r.Get("/nocontent", [](const httplib::Request&, httplib::Response& res) { res.status = 204; });
    // The announced length, then `cut` bytes of it, then the connection closes.
    r.Get(R"(/cut/(\d+))", [document](const httplib::Request& req, httplib::Response& res) {
        const size_t cut = std::stoul(req.matches[1]);
        res.set_content_provider(document.size(), "application/octet-stream",
                                 [document, cut](size_t, size_t, httplib::DataSink& sink) {
                                     if (cut > 0)
                                         sink.write(document.data(), cut);
                                     return false;
                                 });
    });
    r.Get("/chunked", [document](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("application/octet-stream",
                                         [document](size_t offset, httplib::DataSink& sink) {
                                             const size_t piece = std::min<size_t>(7000, document.size() - offset);
                                             if (piece > 0)
                                                 sink.write(document.data() + offset, piece);
                                             else
                                                 sink.done();
                                             return true;
                                         });
    });
    // Chunks, then the connection closes before the last chunk.
    r.Get("/badchunks", [document](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("application/octet-stream",
                                         [document](size_t offset, httplib::DataSink& sink) {
                                             if (offset >= document.size() / 2)
                                                 return false;
                                             sink.write(document.data() + offset, 7000);
                                             return true;
                                         });
    });
    // Half the document, then silence until the test ends.
    r.Get("/stall", [document, &server](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(document.size(), "application/octet-stream",
                                 [document, &server](size_t offset, size_t, httplib::DataSink& sink) {
                                     if (offset == 0)
                                         return sink.write(document.data(), document.size() / 2);
                                     server.waitForRelease(std::chrono::seconds(30));
                                     return false;
                                 });
    });
}

class GetFileTest : public webtest::WebFixture {
protected:
    void SetUp() override
    {
        addDownloadRoutes(server);
        ASSERT_TRUE(server.start());
    }
    QString target() const { return files() + QStringLiteral("Stock.exe"); }

    TestServer server;
};

}  // namespace

TEST_F(GetFileTest, PlacesTheWholeDocument)
{
    for (const char* path : {"/doc", "/old", "/chunked"}) {
        SCOPED_TRACE(path);
        writeFile(target(), "the old version");
        TVekPost post;
        ASSERT_TRUE(post.GetFile(server.url(QString::fromLatin1(path)), target())) << post.ReportError().toStdString();
        EXPECT_EQ(readFile(target()), documentBytes(kDocumentSize));
        EXPECT_EQ(entries(files()), QStringList{"Stock.exe"}) << "no work file is left";
        EXPECT_EQ(post.pendinglog().filter("Asking for: " + server.url(QString::fromLatin1(path))).size(), 1);
        EXPECT_EQ(post.pendinglog().filter("Reply: 200: OK").size(), 1);
    }
}

TEST_F(GetFileTest, ANewFileAndAnEmptyDocument)
{
    TVekPost post;
    ASSERT_TRUE(post.GetFile(server.url("/doc"), target()));
    EXPECT_EQ(readFile(target()), documentBytes(kDocumentSize));
    ASSERT_TRUE(post.GetFile(server.url("/empty"), target()));
    EXPECT_TRUE(QFile::exists(target()));
    EXPECT_EQ(readFile(target()), QByteArray());
}

TEST_F(GetFileTest, KeepsThePermissionBitsOfTheFileItReplaces)
{
    writeFile(target(), "old");
    ASSERT_TRUE(QFile::setPermissions(target(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QFile::Permissions before = QFile::permissions(target());
    TVekPost post;
    ASSERT_TRUE(post.GetFile(server.url("/doc"), target()));
    EXPECT_EQ(QFile::permissions(target()), before);
}

// A reply longer than its Content-Length ends where the length says: the
// bytes after it belong to no reply.
TEST_F(GetFileTest, AReplyLongerThanItsLengthGivesTheAnnouncedBytes)
{
    webtest::RawReplyServer raw("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello and more");
    TVekPost post;
    ASSERT_TRUE(post.GetFile(raw.url("/longer"), target()));
    EXPECT_EQ(readFile(target()), QByteArray("hello"));
}

// Every way a download can fail leaves an old file exactly as it was and
// makes no new one; nothing is left beside it.
TEST_F(GetFileTest, AFailedDownloadLeavesTheTargetAsItWas)
{
    const struct {
        QString path;
        const char* why;
    } cases[] = {
        {"/missing", "404"},
        {"/gone", "a redirect to a missing page"},
        {"/loop", "endless redirects"},
        {"/tofile", "a redirect to a local file"},
        {"/badchunks", "chunks cut before the last"},
        {"/nocontent", "204: no document"},
        {"/cut/0", "cut before the body"},
        {"/cut/1", "cut after one byte"},
        {"/cut/65536", "cut at 64 KiB"},
        {QStringLiteral("/cut/%1").arg(kDocumentSize / 2), "cut half way"},
        {QStringLiteral("/cut/%1").arg(kDocumentSize - 1), "cut one byte short"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        for (const bool existing : {true, false}) {
            QFile::remove(target());
            if (existing)
                writeFile(target(), "the old version");
            TVekPost post;
            EXPECT_FALSE(post.GetFile(server.url(c.path), target()));
            EXPECT_FALSE(post.ReportError().isEmpty());
            EXPECT_EQ(post.pendinglog().filter("Exception:").size(), 1);
            if (existing) {
                EXPECT_EQ(readFile(target()), QByteArray("the old version"));
            }
            EXPECT_EQ(entries(files()), existing ? QStringList{"Stock.exe"} : QStringList{});
            EXPECT_TRUE(entries(QDir::currentPath()).filter(".$$$").isEmpty());
        }
    }
}

// Only the closing connection ends a reply without length or chunks, and a
// cut connection ends it the same way: such a reply is never placed.
TEST_F(GetFileTest, AReplyWithoutLengthIsNotPlaced)
{
    webtest::RawReplyServer raw(
        "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\nwhole or cut?");
    for (const bool existing : {true, false}) {
        QFile::remove(target());
        if (existing)
            writeFile(target(), "the old version");
        TVekPost post;
        EXPECT_FALSE(post.GetFile(raw.url("/nolength"), target()));
        EXPECT_TRUE(post.ReportError().startsWith("Incomplete download")) << post.ReportError().toStdString();
        EXPECT_EQ(entries(files()), existing ? QStringList{"Stock.exe"} : QStringList{});
        if (existing) {
            EXPECT_EQ(readFile(target()), QByteArray("the old version"));
        }
    }
}

TEST_F(GetFileTest, ANotFoundReplySaysSo)
{
    TVekPost post;
    EXPECT_FALSE(post.GetFile(server.url("/missing"), target()));
    EXPECT_EQ(post.ReportError(), QStringLiteral("HTTP/1.1 404 Not Found"));
    EXPECT_EQ(post.pendinglog().filter("Reply: 404: Not Found").size(), 1);
    EXPECT_TRUE(post.ErrorStr.isEmpty()) << "the failure came in the transfer";
}

TEST_F(GetFileTest, ASilentServerTimesOut)
{
    writeFile(target(), "the old version");
    TVekPost post;
    post.SetTimeout(300);
    EXPECT_FALSE(post.GetFile(server.url("/stall"), target()));
    EXPECT_EQ(post.ReportError(), QStringLiteral("Read timed out."));
    EXPECT_EQ(readFile(target()), QByteArray("the old version"));
    EXPECT_EQ(entries(files()), QStringList{"Stock.exe"});
}

TEST_F(GetFileTest, NoServerListening)
{
    const QString address = server.url("/doc");
    server.stop();
    writeFile(target(), "the old version");
    TVekPost post;
    EXPECT_FALSE(post.GetFile(address, target()));
    EXPECT_FALSE(post.ReportError().isEmpty());
    EXPECT_EQ(readFile(target()), QByteArray("the old version"));
}

TEST_F(GetFileTest, AFolderThatCannotTakeTheWorkFileFailsBeforeTheTransfer)
{
    TVekPost post;
    const QString target = files() + QStringLiteral("no such folder/Stock.exe");
    EXPECT_FALSE(post.GetFile(server.url("/doc"), target));
    EXPECT_FALSE(post.ErrorStr.isEmpty());
    EXPECT_EQ(post.ErrorStr, post.ReportError());
    EXPECT_EQ(post.pendinglog().filter("Exception message:").size(), 1);
    EXPECT_TRUE(post.pendinglog().filter("Asking for:").isEmpty());
}

TEST_F(GetFileTest, ProgressMovesAndWindowEventsRun)
{
    qint64 maximum = -1, last = 0;
    int steps = 0, ends = 0;
    bool eventRan = false, ranBeforeEnd = false;
    TVekPost post({[&](qint64 max) { maximum = max; },
                   [&](qint64 count) {
                       EXPECT_GE(count, last);
                       last = count;
                       ++steps;
                   },
                   [&] {
                       ++ends;
                       ranBeforeEnd = eventRan;
                   }});
    QTimer::singleShot(0, [&] { eventRan = true; });
    ASSERT_TRUE(post.GetFile(server.url("/doc"), target()));
    EXPECT_EQ(maximum, kDocumentSize);
    EXPECT_EQ(last, kDocumentSize);
    EXPECT_GE(steps, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(ranBeforeEnd) << "a window event waiting when the transfer began ran during it";
}

TEST_F(GetFileTest, TheDaysLogFile)
{
    const QString log = data() + "VekPost/" + vek::todayday() + ".vekpost.log";
    {
        TVekPost post;
        ASSERT_TRUE(post.GetFile(server.url("/doc"), target()));
    }
    const QString first = QString::fromLatin1(readFile(log));
    EXPECT_TRUE(first.contains("Asking for: " + server.url("/doc") + "\r\n"));
    EXPECT_TRUE(first.contains(" Reply: 200: OK\r\n"));
    {
        TVekPost post;
        EXPECT_FALSE(post.GetFile(server.url("/missing"), target()));
        post.Savelog();
        EXPECT_TRUE(post.pendinglog().isEmpty());
    }
    const QString both = QString::fromLatin1(readFile(log));
    EXPECT_TRUE(both.startsWith(first)) << "the day's lines are appended";
    EXPECT_TRUE(both.contains("Exception:HTTP/1.1 404 Not Found " + server.url("/missing")));

    // Last month's file of the same day starts afresh.
    QFile old(log);
    ASSERT_TRUE(old.open(QIODevice::ReadWrite));
    ASSERT_TRUE(old.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
    old.close();
    {
        TVekPost post;
        ASSERT_TRUE(post.GetFile(server.url("/doc"), target()));
    }
    EXPECT_FALSE(QString::fromLatin1(readFile(log)).contains("404"));
}

// A failure says what happened: no "out of memory" for a large header, no
// "in use" for a folder, no count of bytes against a length that did not count.
TEST_F(GetFileTest, FailuresSayWhatHappened)
{
    const QByteArray hugeHeader
        = "HTTP/1.1 200 OK\r\nX-Padding: " + QByteArray(300 * 1024, 'a') + "\r\nContent-Length: 5\r\n\r\nhello";
    webtest::RawReplyServer huge(hugeHeader);
    const QByteArray chunks(1000, 'c');
    webtest::RawReplyServer both("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n3e8\r\n"
                                 + chunks + "\r\n0\r\n\r\n");
    QDir().mkpath(files() + "folder.exe");
    writeFile(target(), "the old version");
    const struct {
        QString address;
        QString target;
        QString says;
    } cases[] = {
        {huge.url("/"), target(), QStringLiteral("The server's reply header is larger than a reply header may be.")},
        {server.url("/doc"), files() + "folder.exe",
         QStringLiteral("Cannot download into \"%1\": it is a folder").arg(files() + "folder.exe")},
        {both.url("/"), target(),
         QStringLiteral("Refused: the reply announces a length of 5 bytes and comes in chunks as well")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says.toStdString());
        TVekPost post;
        EXPECT_FALSE(post.GetFile(c.address, c.target));
        EXPECT_EQ(post.ReportError(), c.says);
        EXPECT_EQ(readFile(target()), QByteArray("the old version"));
        EXPECT_TRUE(QFileInfo(files() + "folder.exe").isDir());
    }
    EXPECT_EQ(entries(files()), QStringList{"Stock.exe"}) << "no work file is left";
}

// A shared folder whose users may write its files but not add any: the
// download waits in the data folder and the finished file is written over the
// target in place, as a save of a list there is.
TEST_F(GetFileTest, ATargetInAFolderThatTakesNoNewFileIsRewrittenInPlace)
{
    const QString shared = dir.file("shared/");
    ASSERT_TRUE(QDir().mkpath(shared));
    const QString program = shared + "Stock.exe";
    writeFile(program, "the old version, longer than the document? no");
    ASSERT_TRUE(QFile::setPermissions(program,
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup
                                          | QFile::ReadOther | QFile::WriteOther));
    ASSERT_TRUE(QFile::setPermissions(shared,
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                          | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));
    testsupport::openFolderToEveryone(dir.path());
    ASSERT_TRUE(QDir().mkpath(data()));
    testsupport::openFolderToEveryone(data());
    const auto inodeOf = [](const QString& path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : ino_t(0);
    };
    const ino_t inode = inodeOf(program);
    const QString address = server.url("/doc");
    const int rc = testsupport::runAsUnprivilegedUser([&] {
        TVekPost post;
        const bool placed = post.GetFile(address, program);
        if (!placed)
            fprintf(stderr, "%s\n", post.ReportError().toLocal8Bit().constData());
        return placed;
    });
    ASSERT_NE(rc, 2) << "the child could not drop its privileges";
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(readFile(program), documentBytes(kDocumentSize));
    EXPECT_EQ(inodeOf(program), inode) << "the same file, rewritten";
    EXPECT_EQ(entries(shared), QStringList{"Stock.exe"});
    EXPECT_TRUE(entries(data()).filter(".download").isEmpty()) << "no work file is left in the data folder";
}

// Every step of a download rewritten in place can fail: the target then holds
// its old bytes exactly (or, where the failure came after them, the whole new
// document), and nothing is left in the data folder. The first open (the work
// file beside the target) is refused as a folder that takes no new file
// refuses it; a second fault fails each later step in turn.
TEST_F(GetFileTest, EveryFailingStepOfAnInPlaceRewriteLeavesTheOldFileWhole)
{
    const QByteArray old("the old version");
    testsupport::FaultScope faults;
    int failed = 0;
    for (const platform::FaultOp op :
         {platform::FaultOp::Open, platform::FaultOp::Read, platform::FaultOp::Write, platform::FaultOp::Close,
          platform::FaultOp::Copy, platform::FaultOp::Sync, platform::FaultOp::Attributes}) {
        for (int nth = op == platform::FaultOp::Open ? 2 : 1; nth <= 16; ++nth) {
            SCOPED_TRACE(testing::Message() << testsupport::faultOpName(op) << " #" << nth);
            writeFile(target(), old);
            TVekPost post;
            platform::injectFault(platform::FaultOp::Open, 1, EACCES);
            platform::addFault(op, nth, EIO);
            const bool placed = post.GetFile(server.url("/doc"), target());
            platform::clearFaults();
            const QByteArray now = readFile(target());
            if (placed) {
                EXPECT_EQ(now, documentBytes(kDocumentSize));
            } else {
                ++failed;
                EXPECT_EQ(now, old) << post.ReportError().toStdString();
            }
            EXPECT_EQ(entries(files()), QStringList{"Stock.exe"});
            EXPECT_TRUE(entries(data()).filter(".download").isEmpty()) << entries(data()).join(' ').toStdString();
        }
    }
    EXPECT_GT(failed, 5);
}
