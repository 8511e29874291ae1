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
    "Acknowledge", "Getversion", "doPostOrder", "doInsertOrder", "doInsertOrders", "doInsertOrderWithAuth",
    "doReadOrders", "doGetOrderdata", "doJobsinInbox", "doGetLensdata", "doGetTreatdata", "doGetRangedata",
    "doGetPricedata", "doGetMacrodata", "doGetFramedata", "doGetUserLensdata", "dogetTrackdata", "doGetLensVersion",
    "doGetTreatVersion", "doGetRangeVersion", "doGetPriceVersion", "doGetMacroVersion", "doGetConvVersion",
    "doGetFramesVersion", "doGetFrameShapesVersion", "doGetCommunity", "doGetLensdatalink", "doGetTreatdatalink",
    "doGetRangedatalink", "doGetPricedatalink", "doGetMacrodatalink", "doGetFramesDataLink",
    "doGetFrameShapesDataLink", "doGetConvDataLink", "doGetTrackdatastring", "doGetuserLensdatalink",
    "doGetLensdatastring", "doGetTreatdatastring", "doGetRangedatastring", "doGetPricedatastring",
    "doGetMacrodatastring", "doGetFramesDatastring", "doGetFrameShapesDatastring", "doGetuserLensdatastring",
    "doGetuserTreatdatastring", "doGetuserrangedatastring", "doGetusermacrodatastring", "doGetConvDataString",
    "doGetuserFramedatastring", "doGetuserFrameShapedatastring", "doGetuserTechnicaldatastring",
    "doGetuserPricedatastring", "doJobstodownload", "doDownloadOrderfile", "doDeleteOrderfile", "doValidateOrder",
    "doValidateOrders", "dodeleteInboxfile", "doDownloadEncodedOrderfile", "douploadtrackdata", "douploadlogging",
    "doGetOPCfiles", "doGetOPCfile", "doGetLabinfo", "doGetFileData", "doGetFile", "doUploadtracefile",
    "doUploadInboxfile", "dodownloadtracefiles", "dodownloadtracefile", "doGetCommontraces", "doGetCommontrace",
    "doGetTraceLibraries", "doGetTracesinLibrary", "doGetLibraryTracefile", "doGetLibraryTraceImage",
    "dodownloadshapefile", "doSendEmail", "doSendMessage", "doGetLensMapping", "doFindLensbyIndexForm",
    "doGetLensdatabyfilter", "doGetEDIFile", "doProcessFunction", "doOrderbyXML", "doRequestXML",
    "doGetOrderStatus", "doGetWIP", "doGetUser", "doGetTrackB2BString", "doCancelRequest", "doGetAvailability",
};

const char* const kSimpleOrder[] = {
    "Acknowledge", "Getversion", "defaultAction", "doPostOrder", "doInsertOrder", "doInsertOrders",
    "doInsertOrderWithAuth", "doReadOrders", "doGetOrderdata", "doJobsinInbox", "doGetLensVersion",
    "doGetTreatVersion", "doGetRangeVersion", "doGetPriceVersion", "doGetMacroVersion", "doGetConvVersion",
    "doGetFramesVersion", "doGetFrameShapesVersion", "doGetAllVersion", "doGetCommunity", "doGetLensdatalink",
    "doGetTreatdatalink", "doGetRangedatalink", "doGetPricedatalink", "doGetMacrodatalink", "doGetFramesDataLink",
    "doGetFrameShapesDataLink", "doGetConvDataLink", "doGetTrackdatastring", "doGetTrackB2BString",
    "doGetuserLensdatalink", "doGetLensdatastring", "doGetTreatdatastring", "doGetRangedatastring",
    "doGetPricedatastring", "doGetMacrodatastring", "doGetFramesDatastring", "doGetFrameShapesDatastring",
    "doGetuserLensdatastring", "doGetuserTreatdatastring", "doGetuserrangedatastring", "doGetuserFramedatastring",
    "doGetuserFrameShapedatastring", "doGetuserTechnicaldatastring", "doGetConvDataString", "doJobstodownload",
    "doDeleteOrderfile", "doValidateOrder", "doValidateOrders", "dodeleteInboxfile", "doDownloadEncodedOrderfile",
    "douploadtrackdata", "douploadlogging", "doGetOPCfiles", "doGetLabinfo", "doGetFileData", "doUploadtracefile",
    "doUploadInboxfile", "dodownloadtracefiles", "dodownloadtracefile", "doGetCommontraces", "doGetCommontrace",
    "doGetTraceLibraries", "doGetTracesinLibrary", "doGetLibraryTracefile", "doGetLibraryTraceImage",
    "dodownloadshapefile", "doSendEmail", "doSendMessage", "doGetLensMapping", "doFindLensbyIndexForm",
    "doGetLensdatabyfilter", "doGetEDIFile", "doProcessFunction", "doOrderbyXML", "doRequestXML",
    "doGetOrderStatus", "doCancelRequest", "doGetAvailability",
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

SoapInterfaceInfo makeProcessor()
{
    SoapInterfaceInfo info;
    info.name = QStringLiteral("IProcessor");
    info.ns = QStringLiteral("urn:ProcessorIntf-IProcessor");
    info.soapAction = info.ns + u'#' + kOperationNamePlaceholder;
    info.wsdlPath = QStringLiteral("/vekwswad.vekwsdebug/wsdl/IProcessor");
    info.soapPath = QStringLiteral("/vekwswad.vekwsdebug/soap/IProcessor");
    info.service = QStringLiteral("IProcessorservice");
    info.port = QStringLiteral("IProcessorPort");
    info.operations = operationsOf(kProcessorOrder, Processor);
    return info;
}

SoapInterfaceInfo makeSimpleProcessor()
{
    SoapInterfaceInfo info;
    info.name = QStringLiteral("ISimple_Processor");
    info.ns = QStringLiteral("urn:Simple_ProcessorIntf-ISimple_Processor");
    info.soapAction = info.ns + u'#' + kOperationNamePlaceholder;
    info.wsdlPath = QStringLiteral("/vekws_simple_debug.WS_Simple_Debug/wsdl/ISimple_Processor");
    info.soapPath = QStringLiteral("/vekws_simple_debug.WS_Simple_Debug/soap/ISimple_Processor");
    info.service = QStringLiteral("ISimple_Processorservice");
    info.port = QStringLiteral("ISimple_ProcessorPort");
    info.faultClass = QStringLiteral("vekSimple_ProcessorException");
    info.faultNamespace = QStringLiteral("urn:Simple_ProcessorIntf");
    info.operations = operationsOf(kSimpleOrder, Simple);
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
    static const SoapInterfaceInfo info = makeProcessor();
    return info;
}

const SoapInterfaceInfo& simpleprocessorinterface()
{
    static const SoapInterfaceInfo info = makeSimpleProcessor();
    return info;
}

}  // namespace vek
