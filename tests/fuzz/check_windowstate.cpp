// The stored window state (TessarineInstallerdefaults.ini): where a stored
// geometry puts a window, and the column shares, fonts and colours a form
// takes from any settings file and stores again.
#include "familytargets.h"
#include "forms/fontcolour.h"
#include "forms/formstate.h"
#include "platform/controls/textctrls.h"
#include "platform/controls/tform.h"
#include "platform/controls/tlistview.h"
#include "platform/inifile.h"

#include <QFile>
#include <QHeaderView>
#include <algorithm>

using namespace vek;

namespace fuzzchecks {
namespace {

struct Screens {
    QRect desktop;
    QRect workArea;
};

// One screen, two side by side, and a second screen left of the first (the
// desktop then starts at a negative x).
Screens pickScreens(quint8 pick)
{
    switch (pick % 3) {
    case 0:
        return {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}};
    case 1:
        return {{0, 0, 3840, 1080}, {0, 0, 3840, 1040}};
    default:
        return {{-1280, 0, 3200, 1080}, {-1280, 40, 3200, 1040}};
    }
}

// Any stored geometry puts the window with its corner on the desktop and a
// size it can have, or leaves it where it is.
QString checkGeometry(Reader& in)
{
    const Screens screens = pickScreens(in.byte());
    const FormGeometry stored{in.value<int>(), in.value<int>(), in.value<int>(), in.value<int>()};
    const FormGeometry current{100, 80, 200 + in.value<quint16>() % 1700, 150 + in.value<quint16>() % 900};
    const std::optional<FormGeometry> placed = storedplacement(stored, current, screens.desktop, screens.workArea);
    const QString detail
        = QStringLiteral("stored %1,%2 %3x%4").arg(stored.left).arg(stored.top).arg(stored.width).arg(stored.height);
    if (!placed)
        return {};
    REQUIRE(screens.desktop.contains(QPoint(placed->left, placed->top)),
            detail + QStringLiteral(" -> %1,%2").arg(placed->left).arg(placed->top));
    REQUIRE(placed->width > 0 && placed->height > 0, detail);
    return {};
}

// A form with a list view and a string grid of three columns each.
struct LayoutForm {
    explicit LayoutForm(int width)
    {
        form.setObjectName(QStringLiteral("Installfm"));
        form.resize(width + 40, 600);
        lv = new platform::TListView(&form);
        lv->setObjectName(QStringLiteral("Serverlv"));
        lv->setGeometry(0, 0, width, 200);
        for (int i = 0; i < 3; ++i)
            lv->addColumn(QStringLiteral("C%1").arg(i), 60 + 20 * i);
        grid = new platform::TStringGrid(&form);
        grid->setObjectName(QStringLiteral("Sumsg"));
        grid->setGeometry(0, 220, width, 200);
        grid->setColumnCount(3);
        grid->setRowCount(2);
        for (int i = 0; i < 3; ++i)
            grid->setColumnWidth(i, 50 + 10 * i);
    }
    // The narrowest each column may be: Qt's headers keep sections at least
    // as wide as their font asks, whatever width is set.
    QList<int> narrowest() const
    {
        QList<int> out;
        for (int i = 0; i < 3; ++i)
            out << lv->header()->minimumSectionSize() << grid->horizontalHeader()->minimumSectionSize();
        return out;
    }
    QList<int> widths() const
    {
        QList<int> out;
        for (int i = 0; i < 3; ++i)
            out << lv->columnWidth(i) << grid->columnWidth(i);
        return out;
    }
    platform::TForm form;
    platform::TListView* lv;
    platform::TStringGrid* grid;
};

QString shownWidths(const QList<int>& widths)
{
    QStringList parts;
    for (const int w : widths)
        parts.append(QString::number(w));
    return parts.join(u',');
}

// Any settings file: column widths come out at no less than 0; what the form
// then stores over it reads back as the same widths, fonts and colours.
QString checkLayout(Reader& in)
{
    static const int kWidths[] = {500, 600, 333, 1000};
    const int width = kWidths[in.byte() % std::size(kWidths)];
    const QString given = scratchFile(QStringLiteral("given.ini"));
    writeBytes(given, in.rest());
    LayoutForm first(width);
    platform::IniFile ini(given);
    QStringList fonts;
    loadformlayout(&first.form, &ini, fonts);
    for (const int w : first.widths())
        REQUIRE(w >= 0, shownWidths(first.widths()));

    // The program stores into the file it read: what it does not write stays.
    const QString stored = scratchFile(QStringLiteral("stored.ini"));
    QFile::remove(stored);
    QFile::copy(given, stored);
    platform::IniFile out(stored);
    REQUIRE(saveformlayout(&first.form, &out, fonts) == 0, stored);
    LayoutForm second(width);
    QStringList fontsAgain;
    loadformlayout(&second.form, &out, fontsAgain);
    // A width set again may come out at that least width; one left alone stays.
    const QList<int> before = first.widths();
    const QList<int> after = second.widths();
    const QList<int> narrowest = second.narrowest();
    for (qsizetype i = 0; i < before.size(); ++i)
        REQUIRE(after[i] == before[i] || after[i] == std::max(before[i], narrowest[i]),
                shownWidths(before) + QStringLiteral(" -> ") + shownWidths(after));
    REQUIRE(second.lv->font().family() == first.lv->font().family(),
            shown(first.lv->font().family()) + QStringLiteral(" -> ") + shown(second.lv->font().family()));
    REQUIRE(fontpoints(second.lv->font()) == fontpoints(first.lv->font()),
            QStringLiteral("%1 -> %2").arg(fontpoints(first.lv->font())).arg(fontpoints(second.lv->font())));
    REQUIRE(fontcolour(second.lv) == fontcolour(first.lv),
            QStringLiteral("%1 -> %2").arg(fontcolour(first.lv)).arg(fontcolour(second.lv)));
    return {};
}

// Colour numbers: a plain one comes back through its Qt colour.
QString checkColour(Reader& in)
{
    const int colour = in.value<int>();
    if (issystemcolour(colour))
        return {};
    const int plain = colour & 0x00FFFFFF;
    REQUIRE(colourtowin(wintocolour(plain)) == plain, QString::number(colour, 16));
    return {};
}

}  // namespace

QString checkWindowState(Reader& in)
{
    switch (in.byte() % 3) {
    case 0:
        return checkGeometry(in);
    case 1:
        return checkLayout(in);
    default:
        return checkColour(in);
    }
}

}  // namespace fuzzchecks
