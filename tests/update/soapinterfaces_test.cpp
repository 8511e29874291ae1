// The two interfaces of the update service as the client knows them: every
// operation in the service's order, its parameter names and its reply.
#include "update/soapinterfaces.h"
#include "update/soapmessage.h"

#include <gtest/gtest.h>

using namespace vek;

TEST(SoapInterfaces, EachInterfaceListsItsOperationsInTheServicesOrder)
{
    const SoapInterfaceInfo& p = processorinterface();
    const SoapInterfaceInfo& s = simpleprocessorinterface();
    ASSERT_EQ(p.operations.size(), 92);
    ASSERT_EQ(s.operations.size(), 79);
    EXPECT_EQ(p.operations.first().name, "Acknowledge");
    EXPECT_EQ(p.operations[64].name, "doGetFileData");
    EXPECT_EQ(p.operations[77].name, "doSendEmail");
    EXPECT_EQ(p.operations.last().name, "doGetAvailability");
    EXPECT_EQ(s.operations[2].name, "defaultAction");
    EXPECT_EQ(s.operations[18].name, "doGetAllVersion");
    EXPECT_EQ(s.operations[29].name, "doGetTrackB2BString");
    EXPECT_EQ(s.operations.last().name, "doGetAvailability");
    // No name twice in one interface.
    for (const SoapInterfaceInfo* info : {&p, &s}) {
        QStringList names;
        for (const SoapOperation& op : info->operations)
            names.append(op.name);
        names.removeDuplicates();
        EXPECT_EQ(names.size(), info->operations.size()) << info->name.toStdString();
    }
}

TEST(SoapInterfaces, ParametersAndRepliesFollowEachOperationsShape)
{
    const QStringList usual{"Value"};
    const QStringList lower{"value"};
    const QStringList none;
    const QStringList auth{"aUser", "aPass", "Value"};
    struct Case {
        const SoapInterfaceInfo& info;
        const char* operation;
        QStringList parameters;
        bool attachment;
    };
    const Case cases[] = {
        {processorinterface(), "Acknowledge", none, false},
        {simpleprocessorinterface(), "Getversion", none, false},
        {processorinterface(), "doGetCommunity", none, false},
        {simpleprocessorinterface(), "defaultAction", none, false},
        {processorinterface(), "doInsertOrderWithAuth", auth, false},
        {simpleprocessorinterface(), "doInsertOrderWithAuth", auth, false},
        {processorinterface(), "doGetConvVersion", usual, false},
        {simpleprocessorinterface(), "doGetConvVersion", none, false},
        {processorinterface(), "doGetConvDataString", lower, false},
        {simpleprocessorinterface(), "doGetTrackB2BString", lower, false},
        {processorinterface(), "doGetuserTechnicaldatastring", lower, false},
        {processorinterface(), "doGetWIP", lower, false},
        {processorinterface(), "doGetUser", lower, false},
        {processorinterface(), "doGetLensdata", usual, true},
        {processorinterface(), "dogetTrackdata", usual, true},
        {processorinterface(), "doGetFile", usual, true},
        {processorinterface(), "doGetOPCfile", usual, true},
        {processorinterface(), "doGetOPCfiles", usual, false},
        {simpleprocessorinterface(), "doGetAllVersion", usual, false},
        {processorinterface(), "doGetFileData", usual, false},
        {simpleprocessorinterface(), "doSendEmail", usual, false},
    };
    for (const Case& c : cases) {
        const SoapOperation* op = c.info.operation(QString::fromLatin1(c.operation));
        ASSERT_NE(op, nullptr) << c.operation;
        EXPECT_EQ(op->parameters, c.parameters) << c.info.name.toStdString() << ' ' << c.operation;
        EXPECT_EQ(op->attachment, c.attachment) << c.info.name.toStdString() << ' ' << c.operation;
    }
    // Names are exact: letter case counts, and each interface has its own.
    EXPECT_EQ(processorinterface().operation("defaultAction"), nullptr);
    EXPECT_EQ(processorinterface().operation("doGetAllVersion"), nullptr);
    EXPECT_EQ(simpleprocessorinterface().operation("doGetWIP"), nullptr);
    EXPECT_EQ(simpleprocessorinterface().operation("doGetFile"), nullptr);
    EXPECT_EQ(processorinterface().operation("dogetfiledata"), nullptr);
}

TEST(SoapInterfaces, SoapActionNamesTheOperationInTheInterfacesNamespace)
{
    EXPECT_EQ(processorinterface().actionFor("doGetFileData"), "urn:ProcessorIntf-IProcessor#doGetFileData");
    EXPECT_EQ(simpleprocessorinterface().actionFor("Acknowledge"),
              "urn:Simple_ProcessorIntf-ISimple_Processor#Acknowledge");
}

TEST(SoapMessages, TheRequestCarriesEveryParameterByNameAndEscapesItsText)
{
    const SoapOperation* op = processorinterface().operation("doInsertOrderWithAuth");
    ASSERT_NE(op, nullptr);
    const QByteArray xml = soaprequest(processorinterface(), *op, {"me", "p<&>\"", QString::fromUtf8("Grüße")});
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << xml.toStdString();
    EXPECT_TRUE(xml.contains("<NS1:doInsertOrderWithAuth xmlns:NS1=\"urn:ProcessorIntf-IProcessor\">"))
        << xml.toStdString();
    const qsizetype user = xml.indexOf("<aUser xsi:type=\"xsd:string\">me</aUser>");
    const qsizetype pass = xml.indexOf("<aPass xsi:type=\"xsd:string\">p&lt;&amp;&gt;\"</aPass>");
    const qsizetype value = xml.indexOf("<Value xsi:type=\"xsd:string\">" + QString::fromUtf8("Grüße").toUtf8());
    EXPECT_GE(user, 0) << xml.toStdString();
    EXPECT_GT(pass, user) << xml.toStdString();
    EXPECT_GT(value, pass) << xml.toStdString();
}

TEST(SoapMessages, RepliesFaultsAndAttachmentsAreRead)
{
    const SoapOperation* data = processorinterface().operation("doGetFileData");
    const SoapOperation* file = processorinterface().operation("doGetFile");
    const SoapOperation* simple = simpleprocessorinterface().operation("Acknowledge");
    ASSERT_TRUE(data && file && simple);
    const QByteArray env = "<?xml version=\"1.0\"?><S:Envelope xmlns:S=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                           "<S:Body>";
    const QByteArray end = "</S:Body></S:Envelope>";

    SoapResult r = readsoapreply(processorinterface(), *data, 200, "text/xml",
                                 env
                                     + "<n:doGetFileDataResponse xmlns:n=\"x\"><return>a%20b</return>"
                                       "</n:doGetFileDataResponse>"
                                     + end);
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.value, "a%20b");

    r = readsoapreply(simpleprocessorinterface(), *simple, 500, "text/xml",
                      env
                          + "<S:Fault><faultcode>S:Server</faultcode><faultstring>No such order</faultstring>"
                            "<detail><e:vekSimple_ProcessorException xmlns:e=\"urn:Simple_ProcessorIntf\"/></detail>"
                            "</S:Fault>"
                          + end);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.fault);
    EXPECT_EQ(r.error, "No such order");
    EXPECT_EQ(r.faultClass, "vekSimple_ProcessorException");

    // The same detail in another namespace is no exception of the service's.
    r = readsoapreply(simpleprocessorinterface(), *simple, 500, "text/xml",
                      env
                          + "<S:Fault><faultcode>S:Server</faultcode><faultstring>x</faultstring>"
                            "<detail><vekSimple_ProcessorException xmlns=\"urn:other\"/></detail></S:Fault>"
                          + end);
    EXPECT_TRUE(r.fault);
    EXPECT_TRUE(r.faultClass.isEmpty());

    // An error page instead of an envelope, and a reply to another operation.
    r = readsoapreply(processorinterface(), *data, 502, "text/html", "<html>Bad gateway</html>");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains("502")) << r.error.toStdString();
    r = readsoapreply(processorinterface(), *data, 200, "text/xml",
                      env + "<AcknowledgeResponse><return>x</return></AcknowledgeResponse>" + end);
    EXPECT_FALSE(r.ok);

    // An attachment: the part the return element points at, bytes as sent.
    const QByteArray bytes("\x00\x01\r\n--notaboundary\xff", 19);
    const QByteArray multipart = "--b1\r\nContent-Type: text/xml\r\nContent-ID: <root>\r\n\r\n" + env
        + "<doGetFileResponse><return href=\"cid:file2\"/></doGetFileResponse>" + end
        + "\r\n--b1\r\nContent-ID: <file1>\r\n\r\nwrong\r\n--b1\r\nContent-ID: <file2>\r\n"
          "Content-Type: application/octet-stream\r\n\r\n"
        + bytes + "\r\n--b1--\r\n";
    r = readsoapreply(processorinterface(), *file, 200,
                      "multipart/related; type=\"text/xml\"; boundary=\"b1\"; "
                      "start=\"<root>\"",
                      multipart);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.attachment, bytes);

    // An attachment operation whose reply carries no file part fails.
    r = readsoapreply(processorinterface(), *file, 200, "text/xml",
                      env + "<doGetFileResponse><return/></doGetFileResponse>" + end);
    EXPECT_FALSE(r.ok);
}
