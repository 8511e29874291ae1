#include "chart/chartseam.h"
#include "chart/kwchart.h"
#include "dialogs/answerseam.h"
#include "dialogs/dialogtesting.h"
#include "lib/numbers.h"
#include "localescope.h"
#include "testsupport.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QImage>
#include <QSet>
#include <QStackedBarSeries>
#include <QTest>
#include <QValueAxis>
#include <gtest/gtest.h>

using namespace kwchart;
using platform::TListView;
using testsupport::ScratchDir;

namespace {

QStringList labelsOf(const QList<ChartBar>& bars)
{
    QStringList labels;
    for (const ChartBar& bar : bars)
        labels.append(bar.label);
    return labels;
}

QList<double> valuesOf(const QList<ChartBar>& bars)
{
    QList<double> values;
    for (const ChartBar& bar : bars)
        values.append(bar.value);
    return values;
}

QString axisTitle(const QChart* chart, Qt::Alignment side)
{
    const QList<QAbstractAxis*> axes = chart->axes(side == Qt::AlignBottom ? Qt::Horizontal : Qt::Vertical);
    return axes.isEmpty() ? QStringLiteral("<no axis>") : axes.front()->titleText();
}

// The chart maker over a source list of three columns, shown offscreen, with
// "." as the decimal separator.
class ChartMaker : public ::testing::Test {
protected:
    void SetUp() override
    {
        source.addColumn("Colour", 100);
        source.addColumn("Amount", 100);
        source.addColumn("Note", 100);
        form.worklistview = &source;
        form.worktitlestr = "Install New Software";
    }
    void addRows(const QList<QStringList>& rows)
    {
        for (const QStringList& row : rows)
            source.addItem(row.value(0), row.mid(1));
    }
    void show()
    {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    // A user's click on the box itself.
    static void tick(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }
    // Picks X and the mode (and Y unless it is -1) and presses "Make".
    void make(int x, QCheckBox* mode, int y = -1)
    {
        if (!form.isVisible())
            show();
        form.PageControl1->setCurrentWidget(form.Selecttab);
        form.Xlb->setItemIndex(x);
        if (!mode->isChecked())
            tick(mode);
        if (y >= 0)
            form.ylb->item(y)->setCheckState(Qt::Checked);
        QTest::mouseClick(form.Makebtn, Qt::LeftButton);
    }
    QList<QStringList> datarows() const
    {
        QList<QStringList> rows;
        for (int i = 0; i < form.Datalv->count(); ++i)
            rows.append({form.Datalv->item(i)->columnText(0), form.Datalv->item(i)->columnText(1)});
        return rows;
    }
    QList<ChartBar> bars() const { return chartbars(form.Chart1->chart()); }

    testsupport::LocaleScope locale{u'.'};
    TListView source;
    Tkwchartfm form;
};

}  // namespace

TEST_F(ChartMaker, OccursGroupsCategoriesWithoutCaseAndDrawsTheLargestFirst)
{
    addRows({{"red", "1"}, {"Red", "2"}, {"blue", "3"}});
    EXPECT_FALSE(form.Chart1->isVisible());
    make(0, form.Occurschk);

    EXPECT_EQ(datarows(), (QList<QStringList>{{"BLUE", "1"}, {"RED", "2"}}));
    const QList<ChartBar> drawn = bars();
    EXPECT_EQ(labelsOf(drawn), (QStringList{"RED", "BLUE"}));
    EXPECT_EQ(valuesOf(drawn), (QList<double>{2, 1}));
    const QChart* chart = form.Chart1->chart();
    EXPECT_EQ(chart->title(), "Install New Software");
    EXPECT_EQ(axisTitle(chart, Qt::AlignLeft), "Occurs");
    EXPECT_EQ(axisTitle(chart, Qt::AlignBottom), "Colour");
    EXPECT_EQ(form.PageControl1->currentWidget(), form.Charttab);
    EXPECT_TRUE(form.Chart1->isVisible());
    EXPECT_TRUE(form.Savepngbtn->isEnabled());
    ASSERT_EQ(drawn.size(), 2);
    EXPECT_NE(drawn[0].colour, drawn[1].colour);
}

TEST_F(ChartMaker, SumsAndAveragesKeepFullPrecisionAndRoundOnlyWhatIsShown)
{
    QList<QStringList> thousandSmall;
    for (int i = 0; i < 1000; ++i)
        thousandSmall.append(QStringList{"tiny", "0.004"});
    const struct {
        const char* name;
        QList<QStringList> rows;
        bool average;
        QString shown;
        double drawn;
    } cases[] = {
        // Rounding every partial sum would give 2.00 and 0.00.
        {"two of 1.004", {{"a", "1.004"}, {"A", "1.004"}}, false, "2.01", 2.01},
        {"a thousand of 0.004", thousandSmall, false, "4.00", 4.0},
        {"sum 10 over 5 rows", {{"a", "1"}, {"a", "2"}, {"a", "3"}, {"a", "2"}, {"a", "2"}}, true, "2.00", 2.0},
        {"average of three 1.004", {{"a", "1.004"}, {"a", "1.004"}, {"a", "1.006"}}, true, "1.00", 1.0},
        {"not numbers count as 0", {{"a", "x"}, {"a", "2.5"}}, false, "2.50", 2.5},
    };
    for (const auto& c : cases) {
        source.clearItems();
        addRows(c.rows);
        make(0, c.average ? form.Averagechk : form.Sumofchk, 1);
        ASSERT_EQ(form.Datalv->count(), 1) << c.name;
        EXPECT_EQ(form.Datalv->item(0)->columnText(1), c.shown) << c.name;
        ASSERT_EQ(bars().size(), 1) << c.name;
        EXPECT_DOUBLE_EQ(bars()[0].value, c.drawn) << c.name;
        EXPECT_EQ(axisTitle(form.Chart1->chart(), Qt::AlignLeft), "") << c.name;
        EXPECT_EQ(axisTitle(form.Chart1->chart(), Qt::AlignBottom), "Colour") << c.name;
    }
}

TEST_F(ChartMaker, FoldsTheCategoriesBeyondMaxBarsIntoOthers)
{
    auto categories = [](int count, auto value) {
        QList<QStringList> rows;
        for (int i = 1; i <= count; ++i)
            rows.append({QStringLiteral("c%1").arg(i, 2, 10, QChar(u'0')), vek::inttotext(value(i))});
        return rows;
    };
    const auto ownNumber = [](int i) { return i; };
    const struct {
        const char* name;
        QList<QStringList> rows;
        QString maxbars;
        int bars;
        double others;  // 0: no "Others" bar
    } cases[] = {
        {"20 categories", categories(20, ownNumber), "15", 16, 1 + 2 + 3 + 4 + 5},
        {"limit 0 means 15", categories(20, ownNumber), "0", 16, 15},
        {"limit not a number means 15", categories(20, ownNumber), "abc", 16, 15},
        {"limit 3", categories(20, ownNumber), "3", 4, 210 - 20 - 19 - 18},
        {"limit rounded", categories(20, ownNumber), "2.6", 4, 210 - 20 - 19 - 18},
        {"exactly 15", categories(15, ownNumber), "15", 15, 0},
        {"the rest adds up to 0", categories(20, [](int i) { return i > 5 ? i
                                                                 : i == 5 ? 0
                                                                 : i % 2  ? 1
                                                                          : -1; }), "15",
         15, 0},
    };
    for (const auto& c : cases) {
        source.clearItems();
        addRows(c.rows);
        form.Maxbarsed->setText(c.maxbars);
        make(0, form.Sumofchk, 1);
        const QList<ChartBar> drawn = bars();
        EXPECT_EQ(drawn.size(), c.bars) << c.name;
        const bool hasOthers = !drawn.isEmpty() && drawn.back().label == kOthersLabel;
        EXPECT_EQ(hasOthers, c.others != 0) << c.name;
        if (hasOthers) {
            EXPECT_DOUBLE_EQ(drawn.back().value, c.others) << c.name;
        }
        EXPECT_EQ(drawn.value(0).label, c.rows.size() == 20 ? "C20" : "C15") << c.name;
    }
}

TEST_F(ChartMaker, SumWithoutAYColumnFocusesSumOfAndDrawsNothing)
{
    addRows({{"red", "1"}, {"blue", "2"}});
    show();
    form.Xlb->setFocus();
    for (QCheckBox* mode : {static_cast<QCheckBox*>(form.Sumofchk), static_cast<QCheckBox*>(form.Averagechk)}) {
        make(0, mode);
        EXPECT_EQ(form.focusWidget(), form.Sumofchk);
        EXPECT_EQ(form.PageControl1->currentWidget(), form.Selecttab);
        EXPECT_FALSE(form.Chart1->isVisibleTo(&form));
        EXPECT_EQ(form.Datalv->count(), 0);
        form.Xlb->setFocus();
    }
    // Without an X column nothing happens at all.
    form.Xlb->setItemIndex(-1);
    tick(form.Occurschk);
    QTest::mouseClick(form.Makebtn, Qt::LeftButton);
    EXPECT_EQ(form.Datalv->count(), 0);
    EXPECT_FALSE(form.Chart1->isVisibleTo(&form));
}

TEST_F(ChartMaker, ExactlyOneModeAndAtMostOneYColumnAreTicked)
{
    show();
    QCheckBox* const boxes[] = {form.Occurschk, form.Sumofchk, form.Averagechk};
    EXPECT_TRUE(form.Occurschk->isChecked());
    // Each click, also on the box already ticked, leaves exactly that one ticked.
    for (const int clicked : {1, 1, 2, 0, 0, 2}) {
        tick(boxes[clicked]);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(boxes[i]->isChecked(), i == clicked) << "clicked " << clicked << ", box " << i;
        EXPECT_FALSE(form.switchmode);
    }

    ASSERT_EQ(form.ylb->count(), 3);
    auto ticked = [&] {
        QList<int> on;
        for (int i = 0; i < form.ylb->count(); ++i) {
            if (form.ylb->item(i)->checkState() == Qt::Checked)
                on.append(i);
        }
        return on;
    };
    form.ylb->item(1)->setCheckState(Qt::Checked);
    EXPECT_EQ(ticked(), QList<int>{1});
    form.ylb->item(2)->setCheckState(Qt::Checked);
    EXPECT_EQ(ticked(), QList<int>{2});
    form.ylb->item(2)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(ticked(), QList<int>{});
}

TEST_F(ChartMaker, EveryShowingListsTheSourceColumnsAfresh)
{
    addRows({{"red", "1"}});
    for (int showing = 0; showing < 2; ++showing) {
        show();
        EXPECT_EQ(form.Xlb->items(), (QStringList{"Colour", "Amount", "Note"}));
        EXPECT_EQ(form.ylb->items(), (QStringList{"Colour", "Amount", "Note"}));
        EXPECT_EQ(form.PageControl1->currentWidget(), form.Selecttab);
        form.PageControl1->setCurrentWidget(form.Datasourcetab);
        form.hide();
    }
    TListView other;
    other.addColumn("Only", 50);
    form.worklistview = &other;
    show();
    EXPECT_EQ(form.Xlb->items(), QStringList{"Only"});
    EXPECT_EQ(form.ylb->count(), 1);
}

TEST_F(ChartMaker, TheDataSourceListSortsByTheClickedColumn)
{
    addRows({{"b"}, {"a"}, {"a"}, {"c"}, {"c"}, {"c"}});
    make(0, form.Occurschk);
    EXPECT_EQ(datarows(), (QList<QStringList>{{"A", "2"}, {"B", "1"}, {"C", "3"}}));
    form.PageControl1->setCurrentWidget(form.Datasourcetab);
    QHeaderView* header = form.Datalv->header();
    const QPoint yHeader(header->sectionViewportPosition(1) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, yHeader);
    EXPECT_EQ(datarows(), (QList<QStringList>{{"C", "3"}, {"A", "2"}, {"B", "1"}}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, yHeader);
    EXPECT_EQ(datarows(), (QList<QStringList>{{"B", "1"}, {"A", "2"}, {"C", "3"}}));
}

TEST_F(ChartMaker, CategoriesHoldingAnEqualsSignStayWhole)
{
    addRows({{"a=b", "1"}, {"A=B", "2"}, {"x", "5"}});
    make(0, form.Sumofchk, 1);
    EXPECT_EQ(datarows(), (QList<QStringList>{{"A=B", "3.00"}, {"X", "5.00"}}));
    EXPECT_EQ(labelsOf(bars()), (QStringList{"X", "A=B"}));
}

TEST_F(ChartMaker, TheDrawnChartIsAPictureWithTheBarsInIt)
{
    addRows({{"red"}, {"red"}, {"red"}, {"blue"}, {"green"}, {"green"}});
    make(0, form.Occurschk);
    const QImage picture = form.chartpicture();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), form.Chart1->size() * form.Chart1->devicePixelRatio());
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 2) {
        for (int x = 0; x < picture.width(); x += 2)
            colours.insert(picture.pixel(x, y) | 0xFF000000u);
    }
    EXPECT_GT(colours.size(), 10);
    for (const ChartBar& bar : bars())
        EXPECT_TRUE(colours.contains(bar.colour.rgb())) << bar.label.toStdString();
}

// Date labels wider than their bars are turned and drawn whole, in the
// window and in the saved picture (which is what the window shows); labels
// that fit stay level.
TEST_F(ChartMaker, CategoryLabelsAreShownWholeTurnedWhereTheyDoNotFit)
{
    QStringList dates;
    for (int day = 1; day <= 12; ++day)
        dates << QStringLiteral("%1/01/2026 10:00:00").arg(day, 2, 10, QChar(u'0'));
    QList<QStringList> rows;
    for (const QString& date : dates)
        rows.append({date});
    addRows(rows);
    make(0, form.Occurschk);
    QCoreApplication::processEvents();
    auto* axis = qobject_cast<QBarCategoryAxis*>(form.Chart1->chart()->axes(Qt::Horizontal).value(0));
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->labelsAngle(), kTurnedLabelAngle);
    QStringList drawn;
    for (QGraphicsItem* item : form.Chart1->scene()->items()) {
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item); text && text->isVisible())
            drawn << text->toPlainText();
    }
    for (const QString& date : dates)
        EXPECT_TRUE(drawn.contains(date))
            << date.toStdString() << " is not drawn whole: " << drawn.join(u'|').toStdString();

    source.clearItems();
    addRows({{"red"}, {"blue"}, {"blue"}});
    make(0, form.Occurschk);
    QCoreApplication::processEvents();
    EXPECT_EQ(axis->labelsAngle(), 0);
}

TEST_F(ChartMaker, SavesThePictureAsPngWhereTheUserSays)
{
    addRows({{"red"}, {"blue"}, {"blue"}});
    make(0, form.Occurschk);
    ScratchDir dir;
    QString answer;
    QString suggested;
    ChartExportScope seam({[&](QWidget*, const QString& offered) {
                               suggested = offered;
                               return answer;
                           },
                           {}});

    answer = dir.file("sales");  // without a suffix: ".png" is added
    QTest::mouseClick(form.Savepngbtn, Qt::LeftButton);
    EXPECT_EQ(suggested, kChartFileName);
    QImage saved;
    ASSERT_TRUE(saved.load(dir.file("sales.png"), "PNG"));
    EXPECT_EQ(saved.size(), form.chartpicture().size());

    answer = dir.file("picture.png");
    testsupport::writeFile(answer, "old");
    QTest::mouseClick(form.Savepngbtn, Qt::LeftButton);
    EXPECT_TRUE(testsupport::readFile(answer).startsWith("\x89PNG"));

    // Cancelled: nothing is written.
    answer.clear();
    const QStringList before = testsupport::entries(dir.path());
    QTest::mouseClick(form.Savepngbtn, Qt::LeftButton);
    EXPECT_EQ(testsupport::entries(dir.path()), before);

    // A folder that is not there: the user is told, and nothing is left.
    vek::ScriptedAnswers script{platform::mrOk};
    answer = dir.file("missing/chart.png");
    QTest::mouseClick(form.Savepngbtn, Qt::LeftButton);
    ASSERT_EQ(script.shown().size(), 1);
    EXPECT_TRUE(script.shown()[0].message.startsWith(kChartNotSaved + answer))
        << script.shown()[0].message.toStdString();
    EXPECT_EQ(testsupport::entries(dir.path()), before);
}

TEST_F(ChartMaker, CopiesThePictureToTheClipboard)
{
    addRows({{"red"}, {"blue"}, {"blue"}});
    make(0, form.Occurschk);
    {
        QImage copied;
        ChartExportScope seam({{}, [&](const QImage& picture) { copied = picture; }});
        QTest::mouseClick(form.Copypngbtn, Qt::LeftButton);
        EXPECT_EQ(copied, form.chartpicture());
    }
    // And through the real clipboard of this platform.
    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(form.Copypngbtn, Qt::LeftButton);
    const QImage onClipboard = QGuiApplication::clipboard()->image();
    EXPECT_EQ(onClipboard.size(), form.chartpicture().size());
}

TEST(MakeBarChart, OrdersByValueThenLabelWithNegativesLastAndFiltersRows)
{
    testsupport::LocaleScope locale{u'.'};
    TListView list;
    list.addColumn("Label", 50);
    list.addColumn("Value", 50);
    list.addColumn("Group", 50);
    const QList<QStringList> rows
        = {{"b", "5", "g"}, {"a", "5", "g"}, {"n1", "-1", "g"},    {"n10", "-10", "g"}, {"z", "0", "g"},
           {"c", "7", "g"}, {"B", "5", "g"}, {"skip", "100", "h"}, {"r", "1.006", "g"}, {"s", "x", "other"}};
    for (const QStringList& row : rows)
        list.addItem(row[0], row.mid(1));
    QChart chart;
    auto* series = new QStackedBarSeries;
    chart.addSeries(series);
    auto* categories = new QBarCategoryAxis;
    chart.addAxis(categories, Qt::AlignBottom);
    series->attachAxis(categories);

    makebarchart(&chart, &list, 2, 0, 1, "g", "X title", "Y title", "Title", 100);
    const QList<ChartBar> drawn = chartbars(&chart);
    EXPECT_EQ(labelsOf(drawn), (QStringList{"c", "B", "b", "a", "r", "z", "n10", "n1"}));
    EXPECT_EQ(valuesOf(drawn), (QList<double>{7, 5, 5, 5, 1.01, 0, -10, -1}));
    EXPECT_EQ(chart.title(), "Title");
    EXPECT_EQ(categories->titleText(), "X title");
    EXPECT_EQ(categories->count(), drawn.size());

    // Without a filter every row counts ("s" reads as 0 and sorts before "z"
    // by its label); labels that repeat stay apart.
    makebarchart(&chart, &list, -1, 2, 1, QString(), "", "", "", 100);
    EXPECT_EQ(labelsOf(chartbars(&chart)), (QStringList{"h", "g", "g", "g", "g", "g", "other", "g", "g", "g"}));
    EXPECT_EQ(categories->count(), 10);
    EXPECT_EQ(categories->titleText(), "");

    // A chart without a series is left alone.
    QChart empty;
    empty.setTitle("kept");
    makebarchart(&empty, &list, -1, 0, 1, QString(), "", "", "new", 100);
    EXPECT_EQ(empty.title(), "kept");
}

TEST(FitColumns, WidensToTheSampledTextsAndHidesAsAsked)
{
    TListView list;
    list.addColumn("Name", 10);
    list.addColumn("Empty", 10);
    list.addColumn("Size", 10);
    const QFontMetrics metrics(list.font());
    const int margin = std::min(metrics.horizontalAdvance("XXX"), 20);
    const QString longFar = QString(60, u'W');
    for (int i = 0; i < 100; ++i)
        list.addItem(i == 90 ? longFar : QStringLiteral("row %1").arg(i), {QString(), "1"});

    // Rows 0 to 30 are sampled: row 90 is too far away.
    fitcolumns(&list, false, true, {});
    EXPECT_EQ(list.columnWidth(0), metrics.horizontalAdvance("row 10") + margin);
    EXPECT_EQ(list.columnWidth(1), 0);
    EXPECT_EQ(list.columnWidth(2), metrics.horizontalAdvance("1") + margin);

    // Around the selected row it is; headers measured; the listed column hidden.
    list.item(80)->setSelected(true);
    fitcolumns(&list, true, true, {"2"});
    EXPECT_EQ(list.columnWidth(0), metrics.horizontalAdvance(longFar) + margin);
    EXPECT_EQ(list.columnWidth(1), metrics.horizontalAdvance("Empty") + margin);
    EXPECT_EQ(list.columnWidth(2), 0);

    list.setCheckBoxes(true);
    fitcolumns(&list, true, false, {});
    EXPECT_EQ(list.columnWidth(0), metrics.horizontalAdvance(longFar) + margin + metrics.horizontalAdvance("XX"));

    // No rows: the captions, and the listed columns hidden.
    list.clearItems();
    fitcolumns(&list, true, true, {"0"});
    EXPECT_EQ(list.columnWidth(0), 0);
    EXPECT_EQ(list.columnWidth(2), metrics.horizontalAdvance("Size") + margin);
}

TEST(ChartMakerWindow, OneWindowOpensModallyOverTheListItIsGiven)
{
    testsupport::LocaleScope locale{u'.'};
    TListView list;
    list.addColumn("Program", 50);
    list.addColumn("Date", 50);
    list.addItem("setup.exe", {"01/02/2024"});
    list.addItem("tool.exe", {"01/02/2024"});
    vek::UnattendedScope attended(false);

    for (int opening = 0; opening < 2; ++opening) {
        QList<ChartBar> drawn;
        dialogtesting::whenvisible<Tkwchartfm>([&](Tkwchartfm* window) {
            EXPECT_EQ(window, chartmaker());
            EXPECT_EQ(window->Xlb->items(), (QStringList{"Program", "Date"}));
            window->Xlb->setItemIndex(1);
            QTest::mouseClick(window->Makebtn, Qt::LeftButton);
            drawn = chartbars(window->Chart1->chart());
            EXPECT_EQ(window->Chart1->chart()->title(), "Install New Software  ");
            QTest::mouseClick(window->Closebtn, Qt::LeftButton);
        });
        EXPECT_EQ(showchartmaker(&list, "Install New Software  "), platform::mrClose);
        EXPECT_EQ(labelsOf(drawn), QStringList{"01/02/2024"});
        EXPECT_EQ(valuesOf(drawn), QList<double>{2});
    }
}
