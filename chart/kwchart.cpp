#include "chart/kwchart.h"

#include "chart/chartseam.h"
#include "dialogs/messagecalls.h"
#include "lib/basictext.h"
#include "lib/focus.h"
#include "lib/listviews.h"
#include "lib/numbers.h"
#include "lib/texts.h"
#include "platform/atomicwrite.h"
#include "platform/controls/placecontrol.h"
#include "platform/controls/tanchors.h"
#include "platform/errortext.h"
#include "platform/libformat.h"
#include "platform/winerror.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHash>
#include <QHeaderView>
#include <QListWidgetItem>
#include <QShowEvent>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace kwchart {

using platform::akBottom;
using platform::akLeft;
using platform::akRight;
using platform::akTop;
using platform::TAlign;
using platform::TButton;
using platform::TCheckBox;
using platform::TLabel;
using platform::TLabeledEdit;
using platform::TListBox;
using platform::TListView;
using platform::TPageControl;
using platform::TPanel;
using platform::TTabSheet;

namespace {

constexpr int kSampleRows = 30;
constexpr int kMaxMargin = 20;
const QString kMarginText = QStringLiteral("XXX");
const QString kCheckBoxText = QStringLiteral("XX");
// Bars may share a label (a general list view); the category axis takes
// every text once, so a repeat gets invisible zero-width spaces appended.
constexpr char16_t kInvisibleSpace = u'\u200B';

enum class Mode { Occurs, Sum, Average };

template <typename Control> Control* docked(QWidget* parent, const char* name, int height, TAlign align)
{
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    control->resize(parent->width(), height);
    platform::setalign(control, align);
    return control;
}

double twodecimals(double value)
{
    return std::round(value * 100.0) / 100.0;
}

// The key a category is counted under: names are grouped without regard to
// letter case or surrounding blanks, and shown in upper case.
QString categorykey(const QString& text)
{
    return vek::uppertext(vek::trimtext(text));
}

struct Entry {
    double value;
    QString label;
};

}  // namespace

Tkwchartfm::Tkwchartfm(QWidget* parent) : TForm(parent)
{
    setObjectName(QStringLiteral("kwchartfm"));
    setCaption(kChartCaption);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(8);
    setFont(tahoma);
    resize(784, 561);
    buildControls();
}

void Tkwchartfm::buildControls()
{
    Panel1 = docked<TPanel>(this, "Panel1", 25, TAlign::alTop);
    Panel2 = docked<TPanel>(this, "Panel2", 41, TAlign::alBottom);
    Closebtn = platform::placecontrol<TButton>(Panel2, "Closebtn", 697, 8, 75, 25, akRight | akTop);
    Closebtn->setCaption(QStringLiteral("Close"));
    PageControl1 = docked<TPageControl>(this, "PageControl1", 0, TAlign::alClient);
    platform::applyanchors(this);

    // Pages get their size from the page control once it is laid out; they
    // start at the size they will have at the design size of the window, so
    // the controls' anchors keep their distances from there.
    const QSize pageSize(776, 468);
    Selecttab = new TTabSheet(PageControl1);
    Selecttab->setObjectName(QStringLiteral("Selecttab"));
    Selecttab->setCaption(QStringLiteral("Selection"));
    Selecttab->resize(pageSize);
    Panel3 = platform::placecontrol<TPanel>(Selecttab, "Panel3", 8, 8, 250, 452, akLeft | akTop | akBottom);
    Xlab = platform::placecontrol<TLabel>(Panel3, "Xlab", 8, 8, 150, 13);
    Xlab->setCaption(QStringLiteral("Select 'X' item"));
    Xlb = platform::placecontrol<TListBox>(Panel3, "Xlb", 8, 28, 234, 416, akLeft | akTop | akRight | akBottom);
    Ypnl = platform::placecontrol<TPanel>(Selecttab, "Ypnl", 266, 8, 250, 452, akLeft | akTop | akBottom);
    Occurschk = platform::placecontrol<TCheckBox>(Ypnl, "Occurschk", 8, 8, 150, 17);
    Occurschk->setCaption(QStringLiteral("Occurs"));
    Occurschk->setChecked(true);
    Sumofchk = platform::placecontrol<TCheckBox>(Ypnl, "Sumofchk", 8, 28, 150, 17);
    Sumofchk->setCaption(QStringLiteral("Sum of"));
    Averagechk = platform::placecontrol<TCheckBox>(Ypnl, "Averagechk", 8, 48, 150, 17);
    Averagechk->setCaption(QStringLiteral("Average of"));
    ylb = platform::placecontrol<TListBox>(Ypnl, "ylb", 8, 72, 234, 372, akLeft | akTop | akRight | akBottom);
    Makebtn = platform::placecontrol<TButton>(Selecttab, "Makebtn", 532, 8, 75, 25);
    Makebtn->setCaption(QStringLiteral("Make"));

    Charttab = new TTabSheet(PageControl1);
    Charttab->setObjectName(QStringLiteral("Charttab"));
    Charttab->setCaption(QStringLiteral("Chart"));
    Charttab->resize(pageSize);
    Chartbtnpnl = docked<TPanel>(Charttab, "Chartbtnpnl", 41, TAlign::alBottom);
    Savepngbtn = platform::placecontrol<TButton>(Chartbtnpnl, "Savepngbtn", 8, 8, 110, 25);
    Savepngbtn->setCaption(QStringLiteral("Save as PNG..."));
    Copypngbtn = platform::placecontrol<TButton>(Chartbtnpnl, "Copypngbtn", 126, 8, 110, 25);
    Copypngbtn->setCaption(QStringLiteral("Copy Picture"));
    Chart1 = new QChartView(Charttab);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setRenderHint(QPainter::Antialiasing);
    platform::setalign(Chart1, TAlign::alClient);
    platform::registercomponent(Chart1);
    Series1 = new QStackedBarSeries;
    Series1->setObjectName(QStringLiteral("Series1"));
    QChart* chart = Chart1->chart();
    chart->addSeries(Series1);
    auto* categories = new QBarCategoryAxis;
    // A label is drawn whole, turned where it is wider than its bar; the
    // axis takes the height that needs.
    categories->setTruncateLabels(false);
    auto* values = new QValueAxis;
    chart->addAxis(categories, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    Series1->attachAxis(categories);
    Series1->attachAxis(values);
    chart->legend()->hide();
    // Labels wider than their bar are turned, not cut short: whenever the
    // drawing area changes, on the screen and in the saved picture alike.
    connect(chart, &QChart::plotAreaChanged, this, [chart] { fitcategorylabels(chart); });
    Chart1->hide();
    Savepngbtn->setEnabled(false);
    Copypngbtn->setEnabled(false);
    platform::applyanchors(Charttab);

    Datasourcetab = new TTabSheet(PageControl1);
    Datasourcetab->setObjectName(QStringLiteral("Datasourcetab"));
    Datasourcetab->setCaption(QStringLiteral("Data Source"));
    Datasourcetab->resize(pageSize);
    Datalv = platform::placecontrol<TListView>(Datasourcetab, "Datalv", 8, 8, 500, 452,
                                               akLeft | akTop | akRight | akBottom);
    Datalv->addColumn(QStringLiteral("X"), 200);
    Datalv->addColumn(QStringLiteral("Y"), 100);
    Datalv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Datalv->setSelectionBehavior(QAbstractItemView::SelectRows);
    Maxbarsed = platform::placecontrol<TLabeledEdit>(Datasourcetab, "Maxbarsed", 520, 28, 60, 21, akRight | akTop);
    Maxbarsed->editLabel()->setCaption(QStringLiteral("Max. Bars"));
    Maxbarsed->setText(kDefaultMaxBars);

    connect(Closebtn, &QPushButton::clicked, this, &Tkwchartfm::ClosebtnClick);
    connect(Makebtn, &QPushButton::clicked, this, &Tkwchartfm::MakebtnClick);
    connect(Savepngbtn, &QPushButton::clicked, this, &Tkwchartfm::SavepngbtnClick);
    connect(Copypngbtn, &QPushButton::clicked, this, &Tkwchartfm::CopypngbtnClick);
    connect(Occurschk, &QCheckBox::clicked, this, &Tkwchartfm::OccurschkClick);
    connect(Sumofchk, &QCheckBox::clicked, this, &Tkwchartfm::SumofchkClick);
    connect(Averagechk, &QCheckBox::clicked, this, &Tkwchartfm::AveragechkClick);
    connect(ylb, &QListWidget::itemChanged, this, &Tkwchartfm::ylbClickCheck);
    connect(Datalv, &TListView::columnClicked, this, &Tkwchartfm::DatalvColumnClick);
}

void Tkwchartfm::showEvent(QShowEvent* event)
{
    TForm::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tkwchartfm::FormShow()
{
    switchmode = false;
    sortdir = false;
    QStringList captions;
    if (worklistview) {
        const platform::TListHeader* header = worklistview->headerItem();
        for (int c = 0; c < worklistview->columnCount(); ++c)
            captions.append(header->text(c));
    }
    Xlb->setItems(captions);
    ylbChanging_ = true;
    ylb->setItems(captions);
    for (int i = 0; i < ylb->count(); ++i) {
        QListWidgetItem* item = ylb->item(i);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    ylbChanging_ = false;
    PageControl1->setCurrentWidget(Selecttab);
}

void Tkwchartfm::OccurschkClick()
{
    if (!switchmode)
        setcheck(Occurschk);
}

void Tkwchartfm::SumofchkClick()
{
    if (!switchmode)
        setcheck(Sumofchk);
}

void Tkwchartfm::AveragechkClick()
{
    if (!switchmode)
        setcheck(Averagechk);
}

void Tkwchartfm::setcheck(TCheckBox* box)
{
    switchmode = true;
    for (TCheckBox* mode : {Occurschk, Sumofchk, Averagechk})
        mode->setChecked(mode == box);
    switchmode = false;
}

void Tkwchartfm::ylbClickCheck(QListWidgetItem* item)
{
    if (ylbChanging_ || !item)
        return;
    ylbChanging_ = true;
    for (int i = 0; i < ylb->count(); ++i) {
        if (ylb->item(i) != item)
            ylb->item(i)->setCheckState(Qt::Unchecked);
    }
    ylbChanging_ = false;
}

void Tkwchartfm::DatalvColumnClick(int column)
{
    vek::sortlistview(Datalv, column, sortdir);
}

void Tkwchartfm::MakebtnClick()
{
    const int x = Xlb->itemIndex();
    if (x < 0 || x >= Xlb->count() || !worklistview)
        return;
    const Mode mode = Sumofchk->isChecked() ? Mode::Sum : Averagechk->isChecked() ? Mode::Average : Mode::Occurs;
    int y = -1;
    if (mode != Mode::Occurs) {
        for (int i = 0; i < ylb->count() && y < 0; ++i) {
            if (ylb->item(i)->checkState() == Qt::Checked)
                y = i;
        }
        if (y < 0) {
            vek::safefocus(Sumofchk);
            return;
        }
    }

    // The sums stay in full precision: rounding every partial sum would let
    // many small values vanish (a thousand rows of 0.004 would sum to 0.00).
    QHash<QString, int> counts;
    QHash<QString, double> sums;
    QStringList order;
    for (const platform::TListItem* row : worklistview->rows()) {
        const QString key = categorykey(row->columnText(x));
        auto count = counts.find(key);
        if (count == counts.end()) {
            count = counts.insert(key, 0);
            order.append(key);
        }
        ++count.value();
        if (mode != Mode::Occurs)
            sums[key] += vek::texttofloat(row->columnText(y));
    }

    struct Line {
        QString name;
        QString value;
        QString text;
    };
    QList<Line> lines;
    lines.reserve(order.size());
    for (const QString& name : order) {
        QString value;
        switch (mode) {
        case Mode::Occurs:
            value = vek::inttotext(counts.value(name));
            break;
        case Mode::Sum:
            value = vek::floattotrimmed(sums.value(name));
            break;
        case Mode::Average:
            value = vek::floattotrimmed(sums.value(name) / counts.value(name));
            break;
        }
        lines.append({name, value, name + u'=' + value});
    }
    // Sorted as the name=value lines they are, but the name and the value are
    // kept apart: a category holding "=" must not be split at it.
    const QCollator collator = platform::textCollator();
    std::stable_sort(lines.begin(), lines.end(),
                     [&](const Line& a, const Line& b) { return collator.compare(a.text, b.text) < 0; });

    vek::clearlistview(Datalv);
    QList<platform::TListItem*> rows;
    rows.reserve(lines.size());
    for (const Line& line : lines)
        rows.append(new platform::TListItem(line.name, {line.value}));
    Datalv->addItems(rows);
    fitcolumns(Datalv, true, false, {});

    const QString ytitle = mode == Mode::Occurs ? Occurschk->caption() : QString();
    const QString xtitle = Xlb->item(x)->text();
    int maxbars = vek::texttoroundint(Maxbarsed->text());
    if (maxbars < 1)
        maxbars = kFallbackMaxBars;
    makebarchart(Chart1->chart(), Datalv, -1, 0, 1, QString(), xtitle, ytitle, worktitlestr, maxbars);
    PageControl1->setCurrentWidget(Charttab);
    Chart1->show();
    platform::applyanchors(Charttab);
    Savepngbtn->setEnabled(true);
    Copypngbtn->setEnabled(true);
}

void Tkwchartfm::ClosebtnClick()
{
    setModalResult(platform::mrClose);
    if (isVisible())
        close();
}

QImage Tkwchartfm::chartpicture() const
{
    return Chart1->grab().toImage();
}

void Tkwchartfm::SavepngbtnClick()
{
    QString file = asksavefilename(this, kChartFileName);
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".png");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QImage picture = chartpicture();
    int code = picture.save(&buffer, "PNG") ? 0 : platform::winerr::NotEnoughMemory;
    if (code == 0)
        code = platform::writeFileAtomically(file, bytes);
    if (code != 0)
        vek::warnmessage(kChartNotSaved + file + QStringLiteral(": ") + platform::errorText(code));
}

void Tkwchartfm::CopypngbtnClick()
{
    copytoclipboard(chartpicture());
}

Tkwchartfm* chartmaker()
{
    // Made once and kept for the whole run, as the menu's other windows are.
    static QPointer<Tkwchartfm> window;
    if (!window)
        window = new Tkwchartfm;
    return window;
}

int showchartmaker(TListView* view, const QString& title)
{
    QCoreApplication::processEvents();
    Tkwchartfm* window = chartmaker();
    window->worklistview = view;
    window->worktitlestr = title;
    window->setModalResult(platform::mrNone);
    return window->exec();
}

void makebarchart(QChart* chart, TListView* listview, int filtercolumn, int labelcolumn, int valuecolumn,
                  const QString& filtervalue, const QString& xtitle, const QString& ytitle, const QString& title,
                  int maxbars)
{
    if (!chart || chart->series().isEmpty())
        return;
    auto* series = qobject_cast<QAbstractBarSeries*>(chart->series().first());
    if (!series)
        return;
    series->clear();

    QList<Entry> entries;
    if (listview) {
        for (const platform::TListItem* row : listview->rows()) {
            if (filtercolumn >= 0 && row->columnText(filtercolumn) != filtervalue)
                continue;
            entries.append({twodecimals(vek::texttofloat(row->columnText(valuecolumn))), row->columnText(labelcolumn)});
        }
    }
    const QCollator collator = platform::textCollator();
    std::stable_sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        const bool aNegative = a.value < 0;
        const bool bNegative = b.value < 0;
        if (aNegative != bNegative)
            return bNegative;
        if (a.value != b.value)
            return aNegative ? a.value < b.value : a.value > b.value;
        return collator.compare(a.label, b.label) > 0;
    });

    QList<Entry> bars;
    double others = 0;
    int counter = 1;
    for (const Entry& entry : entries) {
        if (counter++ <= maxbars)
            bars.append(entry);
        else
            others += entry.value;
    }
    others = twodecimals(others);
    if (others != 0)
        bars.append({others, kOthersLabel});

    // One bar set per bar, holding its value in its own category and nothing
    // elsewhere: stacked, each category shows one bar in its set's colour.
    // The series leaves the chart while it is filled, so the theme colours
    // every set afresh when it comes back.
    const QList<QAbstractAxis*> axes = series->attachedAxes();
    chart->removeSeries(series);
    QStringList categories;
    double lowest = 0;
    double highest = 0;
    const qsizetype count = bars.size();
    QList<QBarSet*> sets;
    sets.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        QString category = bars[i].label.isNull() ? QStringLiteral("") : bars[i].label;
        while (categories.contains(category))
            category += QChar(kInvisibleSpace);
        categories.append(category);
        auto* set = new QBarSet(bars[i].label);
        QList<qreal> values(count, 0.0);
        values[i] = bars[i].value;
        set->append(values);
        sets.append(set);
        lowest = std::min(lowest, bars[i].value);
        highest = std::max(highest, bars[i].value);
    }
    series->append(sets);
    chart->addSeries(series);
    for (QAbstractAxis* axis : axes) {
        series->attachAxis(axis);
        if (auto* categoryAxis = qobject_cast<QBarCategoryAxis*>(axis)) {
            categoryAxis->clear();
            categoryAxis->append(categories);
            categoryAxis->setTitleText(xtitle);
        } else if (auto* valueAxis = qobject_cast<QValueAxis*>(axis)) {
            valueAxis->setRange(lowest, highest > lowest ? highest : lowest + 1);
            valueAxis->applyNiceNumbers();
            valueAxis->setTitleText(ytitle);
        }
    }
    chart->setTitle(title);
    fitcategorylabels(chart);
}

void fitcategorylabels(QChart* chart)
{
    if (!chart)
        return;
    for (QAbstractAxis* axis : chart->axes(Qt::Horizontal)) {
        auto* categories = qobject_cast<QBarCategoryAxis*>(axis);
        if (!categories || categories->count() == 0)
            continue;
        const QFontMetrics metrics(categories->labelsFont());
        int widest = 0;
        for (const QString& label : categories->categories())
            widest = std::max(widest, metrics.horizontalAdvance(label));
        // A little room between neighbours, as the axis keeps it.
        const qreal room = chart->plotArea().width() / categories->count() - metrics.averageCharWidth();
        const int angle = widest > room ? kTurnedLabelAngle : 0;
        if (categories->labelsAngle() != angle)
            categories->setLabelsAngle(angle);
    }
}

QList<ChartBar> chartbars(const QChart* chart)
{
    QList<ChartBar> bars;
    if (!chart || chart->series().isEmpty())
        return bars;
    const auto* series = qobject_cast<const QAbstractBarSeries*>(chart->series().first());
    if (!series)
        return bars;
    const QList<QBarSet*> sets = series->barSets();
    for (qsizetype i = 0; i < sets.size(); ++i)
        bars.append(
            {sets[i]->label(), i < sets[i]->count() ? sets[i]->at(static_cast<int>(i)) : 0.0, sets[i]->color()});
    return bars;
}

void fitcolumns(TListView* listview, bool measureheaders, bool hideempty, const QStringList& columnstohide)
{
    if (!listview)
        return;
    const QFontMetrics metrics(listview->font());
    const int margin = std::min(metrics.horizontalAdvance(kMarginText), kMaxMargin);
    const int columns = listview->columnCount();
    const platform::TListHeader* header = listview->headerItem();
    auto captionWidth = [&](int c) { return metrics.horizontalAdvance(header->text(c)) + margin; };
    auto hideListed = [&] {
        for (int c = 0; c < columns; ++c) {
            if (columnstohide.contains(vek::inttotext(c)))
                listview->setColumnWidth(c, 0);
        }
    };

    if (listview->count() == 0) {
        if (measureheaders) {
            for (int c = 0; c < columns; ++c)
                listview->setColumnWidth(c, captionWidth(c));
        }
        hideListed();
        return;
    }

    const QList<platform::TListItem*> selected = listview->selectedRows();
    const int around = selected.isEmpty() ? 0 : listview->indexOf(selected.front());
    const int first = std::max(0, around - kSampleRows);
    const int last = std::min(listview->count() - 1, around + kSampleRows);

    QList<int> widths(columns, 0);
    QList<bool> filled(columns, false);
    for (int c = 0; c < columns; ++c) {
        if (measureheaders)
            widths[c] = captionWidth(c);
        listview->header()->setSectionResizeMode(c, QHeaderView::Interactive);
    }
    for (int r = first; r <= last; ++r) {
        const platform::TListItem* row = listview->item(r);
        for (int c = 0; c < columns; ++c) {
            const QString text = row->columnText(c);
            widths[c] = std::max(widths[c], metrics.horizontalAdvance(text) + margin);
            if (!text.isEmpty())
                filled[c] = true;
        }
    }
    if (listview->checkBoxes() && columns > 0)
        widths[0] += metrics.horizontalAdvance(kCheckBoxText);
    if (!filled.contains(true))
        hideempty = false;

    listview->beginUpdate();
    for (int c = 0; c < columns; ++c)
        listview->setColumnWidth(c, widths[c]);
    listview->endUpdate();
    if (!columnstohide.isEmpty()) {
        hideListed();
    } else if (hideempty) {
        for (int c = 0; c < columns; ++c) {
            if (!filled[c])
                listview->setColumnWidth(c, 0);
        }
    }
}

}  // namespace kwchart
