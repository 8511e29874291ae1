#include "update/soapinterfaces.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

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

// Every operation of the service once, with its place in each interface's
// declared order (counted from 1; 0 where the interface lacks it). The two
// interfaces declare most operations alike but in orders of their own.
struct OperationRow {
    const char* name;
    int processor;
    int simple;
};

const OperationRow kOperationRows[] = {
    {"Acknowledge", 1, 1},
    {"Getversion", 2, 2},
    {"defaultAction", 0, 3},
    {"doPostOrder", 3, 4},
    {"doInsertOrder", 4, 5},
    {"doInsertOrders", 5, 6},
    {"doInsertOrderWithAuth", 6, 7},
    {"doReadOrders", 7, 8},
    {"doGetOrderdata", 8, 9},
    {"doJobsinInbox", 9, 10},
    {"doGetLensdata", 10, 0},
    {"doGetTreatdata", 11, 0},
    {"doGetRangedata", 12, 0},
    {"doGetPricedata", 13, 0},
    {"doGetMacrodata", 14, 0},
    {"doGetFramedata", 15, 0},
    {"doGetUserLensdata", 16, 0},
    {"dogetTrackdata", 17, 0},
    {"doGetLensVersion", 18, 11},
    {"doGetTreatVersion", 19, 12},
    {"doGetRangeVersion", 20, 13},
    {"doGetPriceVersion", 21, 14},
    {"doGetMacroVersion", 22, 15},
    {"doGetConvVersion", 23, 16},
    {"doGetFramesVersion", 24, 17},
    {"doGetFrameShapesVersion", 25, 18},
    {"doGetAllVersion", 0, 19},
    {"doGetCommunity", 26, 20},
    {"doGetLensdatalink", 27, 21},
    {"doGetTreatdatalink", 28, 22},
    {"doGetRangedatalink", 29, 23},
    {"doGetPricedatalink", 30, 24},
    {"doGetMacrodatalink", 31, 25},
    {"doGetFramesDataLink", 32, 26},
    {"doGetFrameShapesDataLink", 33, 27},
    {"doGetConvDataLink", 34, 28},
    {"doGetTrackdatastring", 35, 29},
    {"doGetuserLensdatalink", 36, 31},
    {"doGetLensdatastring", 37, 32},
    {"doGetTreatdatastring", 38, 33},
    {"doGetRangedatastring", 39, 34},
    {"doGetPricedatastring", 40, 35},
    {"doGetMacrodatastring", 41, 36},
    {"doGetFramesDatastring", 42, 37},
    {"doGetFrameShapesDatastring", 43, 38},
    {"doGetuserLensdatastring", 44, 39},
    {"doGetuserTreatdatastring", 45, 40},
    {"doGetuserrangedatastring", 46, 41},
    {"doGetusermacrodatastring", 47, 0},
    {"doGetConvDataString", 48, 45},
    {"doGetuserFramedatastring", 49, 42},
    {"doGetuserFrameShapedatastring", 50, 43},
    {"doGetuserTechnicaldatastring", 51, 44},
    {"doGetuserPricedatastring", 52, 0},
    {"doJobstodownload", 53, 46},
    {"doDownloadOrderfile", 54, 0},
    {"doDeleteOrderfile", 55, 47},
    {"doValidateOrder", 56, 48},
    {"doValidateOrders", 57, 49},
    {"dodeleteInboxfile", 58, 50},
    {"doDownloadEncodedOrderfile", 59, 51},
    {"douploadtrackdata", 60, 52},
    {"douploadlogging", 61, 53},
    {"doGetOPCfiles", 62, 54},
    {"doGetOPCfile", 63, 0},
    {"doGetLabinfo", 64, 55},
    {"doGetFileData", 65, 56},
    {"doGetFile", 66, 0},
    {"doUploadtracefile", 67, 57},
    {"doUploadInboxfile", 68, 58},
    {"dodownloadtracefiles", 69, 59},
    {"dodownloadtracefile", 70, 60},
    {"doGetCommontraces", 71, 61},
    {"doGetCommontrace", 72, 62},
    {"doGetTraceLibraries", 73, 63},
    {"doGetTracesinLibrary", 74, 64},
    {"doGetLibraryTracefile", 75, 65},
    {"doGetLibraryTraceImage", 76, 66},
    {"dodownloadshapefile", 77, 67},
    {"doSendEmail", 78, 68},
    {"doSendMessage", 79, 69},
    {"doGetLensMapping", 80, 70},
    {"doFindLensbyIndexForm", 81, 71},
    {"doGetLensdatabyfilter", 82, 72},
    {"doGetEDIFile", 83, 73},
    {"doProcessFunction", 84, 74},
    {"doOrderbyXML", 85, 75},
    {"doRequestXML", 86, 76},
    {"doGetOrderStatus", 87, 77},
    {"doGetWIP", 88, 0},
    {"doGetUser", 89, 0},
    {"doGetTrackB2BString", 90, 30},
    {"doCancelRequest", 91, 78},
    {"doGetAvailability", 92, 79},
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

// The operations of one interface, in its declared order.
QList<SoapOperation> operationsOf(int where)
{
    QList<std::pair<int, const char*>> order;
    for (const OperationRow& row : kOperationRows) {
        const int place = where == Processor ? row.processor : row.simple;
        if (place > 0)
            order.append({place, row.name});
    }
    std::sort(order.begin(), order.end());
    QList<SoapOperation> operations;
    operations.reserve(order.size());
    for (const auto& [place, name] : order) {
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
    static const SoapInterfaceInfo info = makeinterface(QStringLiteral("IProcessor"), QStringLiteral("ProcessorIntf"),
                                                        QStringLiteral("vekwswad.vekwsdebug"), operationsOf(Processor));
    return info;
}

const SoapInterfaceInfo& simpleprocessorinterface()
{
    static const SoapInterfaceInfo info = [] {
        SoapInterfaceInfo simple
            = makeinterface(QStringLiteral("ISimple_Processor"), QStringLiteral("Simple_ProcessorIntf"),
                            QStringLiteral("vekws_simple_debug.WS_Simple_Debug"), operationsOf(Simple));
        // The service raises its own exception class through this interface.
        simple.faultClass = QStringLiteral("vekSimple_ProcessorException");
        simple.faultNamespace = QStringLiteral("urn:Simple_ProcessorIntf");
        return simple;
    }();
    return info;
}

}  // namespace vek
