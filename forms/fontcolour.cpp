#include "forms/fontcolour.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

#include <cmath>
#include <initializer_list>

namespace vek {
namespace {

// The roles a control's text is drawn in, whatever its kind: labels and
// forms draw in WindowText, edits and lists in Text, buttons in ButtonText.
constexpr std::initializer_list<QPalette::ColorRole> kTextRoles
    = {QPalette::WindowText, QPalette::Text, QPalette::ButtonText};
constexpr std::initializer_list<QPalette::ColorRole> kBackgroundRoles
    = {QPalette::Window, QPalette::Base, QPalette::Button};

// The resolve bits a palette gets when these roles are set in every group.
QPalette::ResolveMask maskOf(std::initializer_list<QPalette::ColorRole> roles)
{
    QPalette probe;
    for (QPalette::ColorRole role : roles)
        probe.setBrush(role, QBrush(Qt::black));
    return probe.resolveMask();
}

// Takes the control's own setting of these roles back, so that the
// container's palette shows through again (also after it changes later).
void inheritRoles(QWidget* control, std::initializer_list<QPalette::ColorRole> roles)
{
    QPalette own = control->palette();
    const QPalette::ResolveMask set = own.resolveMask();
    const QPalette::ResolveMask cleared = set & ~maskOf(roles);
    if (cleared == set)
        return;
    own.setResolveMask(cleared);
    control->setPalette(own);
}

QPalette::ColorRole textRole(const QWidget* control)
{
    return control->foregroundRole();
}

}  // namespace

bool issystemcolour(int colour)
{
    return (static_cast<quint32>(colour) >> 24) == 0xFF;
}

int colourtowin(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return static_cast<int>(static_cast<quint32>(rgb.red()) | (static_cast<quint32>(rgb.green()) << 8)
                            | (static_cast<quint32>(rgb.blue()) << 16));
}

QColor wintocolour(int colour)
{
    if (issystemcolour(colour))
        return QApplication::palette().color(QPalette::WindowText);
    const auto v = static_cast<quint32>(colour);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

int fontcolour(const QWidget* control)
{
    const QPalette::ColorRole role = textRole(control);
    const QColor shown = control->palette().color(QPalette::Active, role);
    const QColor system = QApplication::palette(control).color(QPalette::Active, role);
    return shown == system ? clWindowText : colourtowin(shown);
}

bool hasowntextcolour(const QWidget* control)
{
    return (control->palette().resolveMask() & maskOf(kTextRoles)) != 0;
}

void setfontcolour(QWidget* control, int colour)
{
    if (issystemcolour(colour)) {
        inheritRoles(control, kTextRoles);
        return;
    }
    QPalette own = control->palette();
    const QColor plain = wintocolour(colour);
    // The disabled group keeps its greyed text.
    for (QPalette::ColorRole role : kTextRoles) {
        own.setColor(QPalette::Active, role, plain);
        own.setColor(QPalette::Inactive, role, plain);
    }
    control->setPalette(own);
}

int fontpoints(const QFont& font)
{
    if (font.pointSize() > 0)
        return font.pointSize();
    if (font.pointSizeF() > 0)
        return static_cast<int>(std::lround(font.pointSizeF()));
    // Sized in pixels: at the 96 dots per inch the family's sizes assume.
    return static_cast<int>(std::lround(font.pixelSize() * 72.0 / 96.0));
}

bool plainfontstyle(const QFont& font)
{
    return !font.bold() && !font.italic() && !font.underline() && !font.strikeOut();
}

void setparentfont(QWidget* control)
{
    // A font with nothing set resolves every attribute from the container.
    control->setFont(QFont());
    inheritRoles(control, kTextRoles);
}

void setparentcolour(QWidget* control)
{
    inheritRoles(control, kBackgroundRoles);
}

}  // namespace vek
