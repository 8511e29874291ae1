#pragma once
// Where the chart maker asks the user for a file name and hands a picture to
// the clipboard. Normally the save-file dialog and the system clipboard; tests
// put their own answers in place.
#include <QImage>
#include <QString>
#include <functional>

class QWidget;

namespace kwchart {

struct ChartExportOverride {
    // The file to save to, or empty when the user cancels.
    std::function<QString(QWidget* parent, const QString& suggested)> savefilename;
    std::function<void(const QImage& picture)> clipboardimage;
};
// Replaces the calls that are set in `calls`; an empty override restores the
// real dialog and clipboard.
void overridechartexport(ChartExportOverride calls);
ChartExportOverride chartexportoverride();

// The save-file dialog for PNG pictures over `parent`, starting at
// `suggested`; empty when cancelled.
QString asksavefilename(QWidget* parent, const QString& suggested);
// Puts the picture on the clipboard.
void copytoclipboard(const QImage& picture);

// The override for one test: put back when it goes.
class ChartExportScope {
public:
    explicit ChartExportScope(ChartExportOverride calls) : saved_(chartexportoverride())
    {
        overridechartexport(std::move(calls));
    }
    ~ChartExportScope() { overridechartexport(saved_); }
    ChartExportScope(const ChartExportScope&) = delete;
    ChartExportScope& operator=(const ChartExportScope&) = delete;

private:
    ChartExportOverride saved_;
};

}  // namespace kwchart
