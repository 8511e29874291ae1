#pragma once
// Fonts and their colours as the settings file holds them. A colour crosses
// the file as the Windows colour number: 0x00BBGGRR for a plain colour, 0xFF
// in the top byte for a system colour. This is the one place where such a
// number becomes a Qt colour and back.
#include <QColor>
#include <QFont>

class QWidget;

namespace vek {

// The system's text colour, 0xFF000008 as a signed number.
inline constexpr int clWindowText = -16777208;
// The value that marks an absent font size or colour in the settings file.
inline constexpr int kNoFontValue = -999;

// True for a number with 0xFF in the top byte: a colour the system chooses.
bool issystemcolour(int colour);
// 0x00BBGGRR of a plain colour (alpha dropped).
int colourtowin(const QColor& colour);
// The plain colour of 0x00BBGGRR; for a system colour, the colour the
// application's palette gives its text role.
QColor wintocolour(int colour);

// The colour of the control's text as a Windows colour number: clWindowText
// while the control shows the application's own text colour, else the plain
// colour it shows.
int fontcolour(const QWidget* control);
// True when the control's text colour is its own rather than its container's.
bool hasowntextcolour(const QWidget* control);
// Gives the control's text that colour. A system colour takes back any text
// colour of the control's own, so that it shows its container's again.
void setfontcolour(QWidget* control, int colour);

// A font's size in whole points (a font sized in pixels is converted).
int fontpoints(const QFont& font);
// True when the font is neither bold, italic, underlined nor struck out.
bool plainfontstyle(const QFont& font);

// Makes the control follow its container's font (face, size, style and text
// colour) from now on.
void setparentfont(QWidget* control);
// Makes the control follow its container's background colour.
void setparentcolour(QWidget* control);

}  // namespace vek
