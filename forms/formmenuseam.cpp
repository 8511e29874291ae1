#include "forms/formmenuseam.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGuiApplication>
#include <QStringList>

#include <algorithm>

namespace vek {
namespace {

FormMenuOverride& installed()
{
    static FormMenuOverride calls;
    return calls;
}

const QString kSaveTitle = QStringLiteral("Save As");

// "CSV file|*.CSV|Text file|*.txt" as Qt writes it: "CSV file (*.CSV);;Text file (*.txt)".
QString qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out.append(parts[i] + QStringLiteral(" (") + parts[i + 1] + u')');
    return out.join(QStringLiteral(";;"));
}

}  // namespace

void overrideformmenu(FormMenuOverride calls)
{
    installed() = std::move(calls);
}

FormMenuOverride formmenuoverride()
{
    return installed();
}

std::optional<QFont> askfont(QWidget* parent, const QFont& initial)
{
    if (installed().choosefont)
        return installed().choosefont(parent, initial);
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return std::nullopt;
    // Qt's dialog takes any size typed into it.
    if (chosen.pointSize() > 0)
        chosen.setPointSize(std::clamp(chosen.pointSize(), kMenuFontMinSize, kMenuFontMaxSize));
    return chosen;
}

QString asksavefile(QWidget* parent, const QString& filter, const QString& defaultExtension, const QString& suggested)
{
    if (installed().savefilename)
        return installed().savefilename(parent, filter, defaultExtension, suggested);
    QFileDialog dialog(parent, kSaveTitle, QString(), qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultExtension);
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void setclipboardtext(const QString& text)
{
    if (installed().clipboardtext)
        return installed().clipboardtext(text);
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

}  // namespace vek
