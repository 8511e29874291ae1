#pragma once
// The chart maker: turns the rows of any list view into a bar chart. The user
// picks a column as the category, counts its rows or sums or averages a
// numeric column per category, and gets the largest categories as bars, the
// rest folded into one "Others" bar.
#include "platform/controls/textctrls.h"
#include "platform/controls/tform.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

class QChart;
class QChartView;
class QListWidgetItem;
class QStackedBarSeries;

namespace kwchart {

inline const QString kChartCaption = QStringLiteral("Create Chart");
inline const QString kOthersLabel = QStringLiteral("Others");
inline const QString kDefaultMaxBars = QStringLiteral("15");
inline constexpr int kFallbackMaxBars = 15;
inline const QString kChartFileName = QStringLiteral("chart.png");
inline const QString kChartNotSaved = QStringLiteral("Could not save the chart ");

class Tkwchartfm : public platform::TForm {
    Q_OBJECT
public:
    explicit Tkwchartfm(QWidget* parent = nullptr);

    // Set by the caller before the window is shown: the rows to chart, and the
    // chart's title (the calling window's caption).
    QPointer<platform::TListView> worklistview;
    QString worktitlestr;
    // True while setcheck changes the three mode boxes.
    bool switchmode = false;
    // Sort direction of Datalv.
    bool sortdir = false;

    // Window events and handlers, as the controls call them.
    // Every showing lists the source's columns afresh and opens "Selection".
    void FormShow();
    void OccurschkClick();
    void SumofchkClick();
    void AveragechkClick();
    // Ticks `box` and unticks the other two mode boxes.
    void setcheck(platform::TCheckBox* box);
    // At most one Y column is ticked: ticking or unticking one unticks the rest.
    void ylbClickCheck(QListWidgetItem* item);
    void DatalvColumnClick(int column);
    // Groups the rows by the X column into Datalv and draws the chart. Without
    // an X column it does nothing; "Sum of" and "Average of" without a ticked
    // Y column focus "Sum of" and do nothing else. Sums are kept in full
    // precision: only what is shown or drawn is rounded to two decimals.
    void MakebtnClick();
    void ClosebtnClick();
    // The chart as a PNG file, at a name the user picks; a failure is told
    // in a warning and leaves an existing file as it was.
    void SavepngbtnClick();
    void CopypngbtnClick();

    // What the chart view shows, at its size on screen.
    QImage chartpicture() const;

    platform::TPanel* Panel1;
    platform::TPanel* Panel2;
    platform::TButton* Closebtn;
    platform::TPageControl* PageControl1;
    platform::TTabSheet* Selecttab;
    platform::TPanel* Panel3;
    platform::TLabel* Xlab;
    platform::TListBox* Xlb;
    platform::TPanel* Ypnl;
    platform::TCheckBox* Occurschk;
    platform::TCheckBox* Sumofchk;
    platform::TCheckBox* Averagechk;
    platform::TListBox* ylb;
    platform::TButton* Makebtn;
    platform::TTabSheet* Charttab;
    QChartView* Chart1;
    QStackedBarSeries* Series1;
    platform::TPanel* Chartbtnpnl;
    platform::TButton* Savepngbtn;
    platform::TButton* Copypngbtn;
    platform::TTabSheet* Datasourcetab;
    platform::TListView* Datalv;
    platform::TLabeledEdit* Maxbarsed;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    bool ylbChanging_ = false;
};

// The chart maker window of this run: made on first use, kept until the end.
Tkwchartfm* chartmaker();
// What "Make chart" of a window's menu calls: the chart maker over `view`,
// titled `title`, shown modally. Returns the window's modal result.
int showchartmaker(platform::TListView* view, const QString& title);

// Fills the chart's first series from a two-column list: one bar per row
// (only rows whose `filtercolumn` text is `filtervalue`, with a filter column
// of 0 or more), the value read from `valuecolumn` at two decimals, the label
// from `labelcolumn`. Bars run from the largest value down (equal values by
// label, descending, without regard to case), negative ones last, largest
// magnitude first. Beyond `maxbars` the values add up into one last "Others"
// bar, left out when they come to 0. Each bar gets its own colour from the
// chart's theme. Sets the title and the two axis titles. A chart without a
// series is left alone.
void makebarchart(QChart* chart, platform::TListView* listview, int filtercolumn, int labelcolumn, int valuecolumn,
                  const QString& filtervalue, const QString& xtitle, const QString& ytitle, const QString& title,
                  int maxbars);

// One bar as the chart draws it.
struct ChartBar {
    QString label;
    double value = 0;
    QColor colour;
};
// The bars of the chart's first series, left to right.
QList<ChartBar> chartbars(const QChart* chart);

// The angle of category labels too wide for their bar.
inline constexpr int kTurnedLabelAngle = -90;
// Turns the category labels of `chart` upright (kTurnedLabelAngle) when the
// widest is wider than a bar's share of the drawing area, and back when they
// all fit, so that no label is cut short.
void fitcategorylabels(QChart* chart);

// Fits the columns to their contents: the widest text of the rows from 30
// before to 30 after the selected row (or the first), plus a margin (the
// width of "XXX", at most 20 pixels), and the caption when `measureheaders`.
// Check boxes widen the first column. Then hides (width 0) the columns whose
// numbers are in `columnstohide`, or, with none listed and `hideempty`, the
// columns empty in the sample, unless every column is.
void fitcolumns(platform::TListView* listview, bool measureheaders, bool hideempty, const QStringList& columnstohide);

}  // namespace kwchart
