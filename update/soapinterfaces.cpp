#include "update/soapinterfaces.h"

#include <initializer_list>

namespace vek {
namespace {

enum Interfaces { Processor = 1, Simple = 2, Both = Processor | Simple };

// How an operation's request and reply look where it is not the usual one
// string parameter named "Value" and a string result.
enum class Shape { Usual, NoParameter, Authenticated, LowerValue, Attachment };

struct ShapeRule {
    std::initializer_list<const char*> names;
    Shape shape;
    int where;
};

const ShapeRule kShapeRules[] = {
    {{"Acknowledge", "Getversion", "doGetCommunity"}, Shape::NoParameter, Both},
    {{"defaultAction"}, Shape::NoParameter, Simple},
    {{"doInsertOrderWithAuth"}, Shape::Authenticated, Both},
    {{"doGetConvVersion"}, Shape::NoParameter, Simple},
    {{"doGetConvDataString", "doGetTrackdatastring", "doGetTrackB2BString", "doGetuserLensdatalink",
      "doGetuserLensdatastring", "doGetuserTreatdatastring", "doGetuserrangedatastring", "doGetuserFramedatastring",
      "doGetuserFrameShapedatastring", "doGetuserTechnicaldatastring", "doGetusermacrodatastring",
      "doGetuserPricedatastring", "doGetWIP", "doGetUser"},
     Shape::LowerValue,
     Both},
    {{"doGetLensdata", "doGetTreatdata", "doGetRangedata", "doGetPricedata", "doGetMacrodata", "doGetFramedata",
      "doGetUserLensdata", "dogetTrackdata", "doDownloadOrderfile", "doGetOPCfile", "doGetFile"},
     Shape::Attachment,
     Processor},
};

const char* const kProcessorOrder[] = {
    "Acknowledge",
    "Getversion",
    "doPostOrder",
    "doInsertOrder",
    "doInsertOrders",
    "doInsertOrderWithAuth",
    "doReadOrders",
    "doGetOrderdata",
    "doJobsinInbox",
    "doGetLensdata",
    "doGetTreatdata",
    "doGetRangedata",
    "doGetPricedata",
    "doGetMacrodata",
    "doGetFramedata",
    "doGetUserLensdata",
    "dogetTrackdata",
    "doGetLensVersion",
    "doGetTreatVersion",
    "doGetRangeVersion",
    "doGetPriceVersion",
    "doGetMacroVersion",
    "doGetConvVersion",
    "doGetFramesVersion",
    "doGetFrameShapesVersion",
    "doGetCommunity",
    "doGetLensdatalink",
    "doGetTreatdatalink",
    "doGetRangedatalink",
    "doGetPricedatalink",
    "doGetMacrodatalink",
    "doGetFramesDataLink",
    "doGetFrameShapesDataLink",
    "doGetConvDataLink",
    "doGetTrackdatastring",
    "doGetuserLensdatalink",
    "doGetLensdatastring",
    "doGetTreatdatastring",
    "doGetRangedatastring",
    "doGetPricedatastring",
    "doGetMacrodatastring",
    "doGetFramesDatastring",
    "doGetFrameShapesDatastring",
    "doGetuserLensdatastring",
    "doGetuserTreatdatastring",
    "doGetuserrangedatastring",
    "doGetusermacrodatastring",
    "doGetConvDataString",
    "doGetuserFramedatastring",
    "doGetuserFrameShapedatastring",
    "doGetuserTechnicaldatastring",
    "doGetuserPricedatastring",
    "doJobstodownload",
    "doDownloadOrderfile",
    "doDeleteOrderfile",
    "doValidateOrder",
    "doValidateOrders",
    "dodeleteInboxfile",
    "doDownloadEncodedOrderfile",
    "douploadtrackdata",
    "douploadlogging",
    "doGetOPCfiles",
    "doGetOPCfile",
    "doGetLabinfo",
    "doGetFileData",
    "doGetFile",
    "doUploadtracefile",
    "doUploadInboxfile",
    "dodownloadtracefiles",
    "dodownloadtracefile",
    "doGetCommontraces",
    "doGetCommontrace",
    "doGetTraceLibraries",
    "doGetTracesinLibrary",
    "doGetLibraryTracefile",
    "doGetLibraryTraceImage",
    "dodownloadshapefile",
    "doSendEmail",
    "doSendMessage",
    "doGetLensMapping",
    "doFindLensbyIndexForm",
    "doGetLensdatabyfilter",
    "doGetEDIFile",
    "doProcessFunction",
    "doOrderbyXML",
    "doRequestXML",
    "doGetOrderStatus",
    "doGetWIP",
    "doGetUser",
    "doGetTrackB2BString",
    "doCancelRequest",
    "doGetAvailability",
};

const char* const kSimpleOrder[] = {
    "Acknowledge",
    "Getversion",
    "defaultAction",
    "doPostOrder",
    "doInsertOrder",
    "doInsertOrders",
    "doInsertOrderWithAuth",
    "doReadOrders",
    "doGetOrderdata",
    "doJobsinInbox",
    "doGetLensVersion",
    "doGetTreatVersion",
    "doGetRangeVersion",
    "doGetPriceVersion",
    "doGetMacroVersion",
    "doGetConvVersion",
    "doGetFramesVersion",
    "doGetFrameShapesVersion",
    "doGetAllVersion",
    "doGetCommunity",
    "doGetLensdatalink",
    "doGetTreatdatalink",
    "doGetRangedatalink",
    "doGetPricedatalink",
    "doGetMacrodatalink",
    "doGetFramesDataLink",
    "doGetFrameShapesDataLink",
    "doGetConvDataLink",
    "doGetTrackdatastring",
    "doGetTrackB2BString",
    "doGetuserLensdatalink",
    "doGetLensdatastring",
    "doGetTreatdatastring",
    "doGetRangedatastring",
    "doGetPricedatastring",
    "doGetMacrodatastring",
    "doGetFramesDatastring",
    "doGetFrameShapesDatastring",
    "doGetuserLensdatastring",
    "doGetuserTreatdatastring",
    "doGetuserrangedatastring",
    "doGetuserFramedatastring",
    "doGetuserFrameShapedatastring",
    "doGetuserTechnicaldatastring",
    "doGetConvDataString",
    "doJobstodownload",
    "doDeleteOrderfile",
    "doValidateOrder",
    "doValidateOrders",
    "dodeleteInboxfile",
    "doDownloadEncodedOrderfile",
    "douploadtrackdata",
    "douploadlogging",
    "doGetOPCfiles",
    "doGetLabinfo",
    "doGetFileData",
    "doUploadtracefile",
    "doUploadInboxfile",
    "dodownloadtracefiles",
    "dodownloadtracefile",
    "doGetCommontraces",
    "doGetCommontrace",
    "doGetTraceLibraries",
    "doGetTracesinLibrary",
    "doGetLibraryTracefile",
    "doGetLibraryTraceImage",
    "dodownloadshapefile",
    "doSendEmail",
    "doSendMessage",
    "doGetLensMapping",
    "doFindLensbyIndexForm",
    "doGetLensdatabyfilter",
    "doGetEDIFile",
    "doProcessFunction",
    "doOrderbyXML",
    "doRequestXML",
    "doGetOrderStatus",
    "doCancelRequest",
    "doGetAvailability",
};

Shape shapeOf(const QString& name, int where)
{
    for (const ShapeRule& rule : kShapeRules) {
        if (!(rule.where & where))
            continue;
        for (const char* ruleName : rule.names) {
            if (name == QLatin1String(ruleName))
                return rule.shape;
        }
    }
    return Shape::Usual;
}

template <size_t N> QList<SoapOperation> operationsOf(const char* const (&order)[N], int where)
{
    QList<SoapOperation> operations;
    operations.reserve(static_cast<qsizetype>(N));
    for (const char* name : order) {
        SoapOperation op;
        op.name = QString::fromLatin1(name);
        switch (shapeOf(op.name, where)) {
        case Shape::Usual:
            op.parameters = {QStringLiteral("Value")};
            break;
        case Shape::NoParameter:
            break;
        case Shape::Authenticated:
            op.parameters = {QStringLiteral("aUser"), QStringLiteral("aPass"), QStringLiteral("Value")};
            break;
        case Shape::LowerValue:
            op.parameters = {QStringLiteral("value")};
            break;
        case Shape::Attachment:
            op.parameters = {QStringLiteral("Value")};
            op.attachment = true;
            break;
        }
        operations.append(op);
    }
    return operations;
}

// An interface of the service: its namespace is "urn:" + `unit` + "-" + its
// name, its debugging paths lie under `debugModule`, its WSDL service and port
// are named after it.
SoapInterfaceInfo makeinterface(const QString& name, const QString& unit, const QString& debugModule,
                                QList<SoapOperation> operations)
{
    SoapInterfaceInfo info;
    info.name = name;
    info.ns = QStringLiteral("urn:") + unit + u'-' + name;
    info.soapAction = info.ns + u'#' + kOperationNamePlaceholder;
    info.wsdlPath = u'/' + debugModule + QStringLiteral("/wsdl/") + name;
    info.soapPath = u'/' + debugModule + QStringLiteral("/soap/") + name;
    info.service = name + QStringLiteral("service");
    info.port = name + QStringLiteral("Port");
    info.operations = std::move(operations);
    return info;
}

}  // namespace

const SoapOperation* SoapInterfaceInfo::operation(const QString& operationName) const
{
    for (const SoapOperation& op : operations) {
        if (op.name == operationName)
            return &op;
    }
    return nullptr;
}

QString SoapInterfaceInfo::actionFor(const QString& operationName) const
{
    QString action = soapAction;
    return action.replace(kOperationNamePlaceholder, operationName);
}

const SoapInterfaceInfo& processorinterface()
{
    static const SoapInterfaceInfo info
        = makeinterface(QStringLiteral("IProcessor"), QStringLiteral("ProcessorIntf"),
                        QStringLiteral("vekwswad.vekwsdebug"), operationsOf(kProcessorOrder, Processor));
    return info;
}

const SoapInterfaceInfo& simpleprocessorinterface()
{
    static const SoapInterfaceInfo info = [] {
        SoapInterfaceInfo simple
            = makeinterface(QStringLiteral("ISimple_Processor"), QStringLiteral("Simple_ProcessorIntf"),
                            QStringLiteral("vekws_simple_debug.WS_Simple_Debug"), operationsOf(kSimpleOrder, Simple));
        // The service raises its own exception class through this interface.
        simple.faultClass = QStringLiteral("vekSimple_ProcessorException");
        simple.faultNamespace = QStringLiteral("urn:Simple_ProcessorIntf");
        return simple;
    }();
    return info;
}

}  // namespace vek
