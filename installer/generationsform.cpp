#include "installer/generationsform.h"

#include "dialogs/messagecalls.h"
#include "installer/restoregeneration.h"
#include "lib/cursors.h"
#include "lib/folders.h"
#include "lib/generations.h"
#include "lib/stamps.h"
#include "platform/controls/tanchors.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"

namespace installer {

using platform::akBottom;
using platform::akLeft;
using platform::akRight;
using platform::akTop;

TGenerationsfm::TGenerationsfm(const QString& localFolder, const QString& name, DigestCall digest, QWidget* parent)
    : TForm(parent), localFolder_(localFolder), name_(name), digest_(std::move(digest))
{
    setObjectName(QStringLiteral("Generationsfm"));
    setCaption(kGenerationsCaption + name);
    resize(880, 330);

    Folderlab = new platform::TLabel(this);
    Folderlab->setObjectName(QStringLiteral("Folderlab"));
    Folderlab->setGeometry(8, 8, 860, 16);
    Folderlab->setCaption(vek::addslash(localFolder) + name);
    platform::setanchors(Folderlab, akLeft | akTop | akRight);

    Generationslv = new platform::TListView(this);
    Generationslv->setObjectName(QStringLiteral("Generationslv"));
    Generationslv->setGeometry(8, 28, 864, 256);
    Generationslv->addColumn(QStringLiteral("Generation"), 80);
    Generationslv->addColumn(QStringLiteral("Date"), 150);
    Generationslv->addColumn(QStringLiteral("Size"), 80);
    Generationslv->addColumn(QStringLiteral("MD5"), 290);
    Generationslv->addColumn(QStringLiteral("Signature"), 236);
    Generationslv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Generationslv->setSelectionBehavior(QAbstractItemView::SelectRows);
    platform::setanchors(Generationslv, akLeft | akTop | akRight | akBottom);

    Restorebtn = new platform::TButton(this);
    Restorebtn->setObjectName(QStringLiteral("Restorebtn"));
    Restorebtn->setCaption(QStringLiteral("Restore"));
    Restorebtn->setGeometry(8, 292, 120, 27);
    platform::setanchors(Restorebtn, akLeft | akBottom);

    Closebtn = new platform::TButton(this);
    Closebtn->setObjectName(QStringLiteral("Closebtn"));
    Closebtn->setCaption(QStringLiteral("Close"));
    Closebtn->setGeometry(752, 292, 120, 27);
    Closebtn->setModalResult(platform::mrClose);
    platform::setanchors(Closebtn, akRight | akBottom);

    connect(Restorebtn, &QPushButton::clicked, this, &TGenerationsfm::RestorebtnClick);
    connect(Generationslv, &platform::TListView::itemSelectionChanged, this, &TGenerationsfm::updateButtons);
    RefreshList();
}

void TGenerationsfm::RefreshList()
{
    Generationslv->beginUpdate();
    Generationslv->clearItems();
    for (const GenerationEntry& entry : listgenerations(localFolder_, name_, digest_)) {
        if (!entry.exists) {
            Generationslv->addItem(generationlabel(entry.generation), {kMissingText});
            continue;
        }
        Generationslv->addItem(
            generationlabel(entry.generation),
            {vek::datetext(entry.modified), QString::number(entry.size), entry.md5, signaturetext(entry)});
    }
    Generationslv->endUpdate();
    updateButtons();
}

void TGenerationsfm::updateButtons()
{
    const QList<platform::TListItem*> chosen = Generationslv->selectedRows();
    // Only a generation that stands can be put back; the current file already is current.
    const int row = chosen.isEmpty() ? -1 : Generationslv->indexOf(chosen.first());
    Restorebtn->setEnabled(row > 0 && chosen.first()->subItem(0) != kMissingText);
}

void TGenerationsfm::RestorebtnClick()
{
    const QList<platform::TListItem*> chosen = Generationslv->selectedRows();
    if (chosen.isEmpty())
        return;
    const int generation = Generationslv->indexOf(chosen.first());
    if (generation < 1)
        return;
    // A full chain loses its oldest backup to the shift: the user is told
    // which one before agreeing to it. No stays the answer Enter gives.
    QString question = kRestoreQuestion.arg(generationlabel(generation), name_);
    const int oldest = Generationslv->count() - 1;
    if (oldest == vek::kGenerationCount && Generationslv->item(oldest)->subItem(0) != kMissingText)
        question += kRestoreDropsOldest.arg(generationlabel(oldest), Generationslv->item(oldest)->subItem(0));
    if (vek::askyesno(question, u'0') != u'1')
        return;
    vek::busycursor();
    const InstallOutcome outcome = restoregeneration(localFolder_, name_, generation);
    vek::normalcursor();
    if (!outcome.installed)
        vek::warnmessage(outcome.message, QString());
    RefreshList();
}

}  // namespace installer
