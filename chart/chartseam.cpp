#include "chart/chartseam.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>

namespace kwchart {
namespace {

ChartExportOverride& installed()
{
    static ChartExportOverride calls;
    return calls;
}

const QString kSaveChartTitle = QStringLiteral("Save Chart");
const QString kPngFilter = QStringLiteral("PNG pictures (*.png)");

}  // namespace

void overridechartexport(ChartExportOverride calls)
{
    installed() = std::move(calls);
}

ChartExportOverride chartexportoverride()
{
    return installed();
}

QString asksavefilename(QWidget* parent, const QString& suggested)
{
    if (installed().savefilename)
        return installed().savefilename(parent, suggested);
    return QFileDialog::getSaveFileName(parent, kSaveChartTitle, suggested, kPngFilter);
}

void copytoclipboard(const QImage& picture)
{
    if (installed().clipboardimage)
        return installed().clipboardimage(picture);
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setImage(picture);
}

}  // namespace kwchart
