#pragma once
// A small screen holding every kind of control a language file has records
// for, named as a designer would, with texts of its own.
#include "platform/controls/textctrls.h"
#include "platform/controls/tform.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"

#include <QPointer>

namespace langtest {

class LangTestForm : public platform::TForm {
public:
    LangTestForm()
    {
        setObjectName(QStringLiteral("Langtestfm"));
        setCaption(QStringLiteral("Language test"));
        Titlelab = make<platform::TLabel>("Titlelab");
        Titlelab->setCaption(QStringLiteral("Title"));
        Placeholderlab = make<platform::TLabel>("Placeholderlab");
        Placeholderlab->setCaption(QStringLiteral("{ }"));
        Openlab = make<platform::TLabel>("Openlab");
        Openlab->setCaption(QStringLiteral("{not closed"));
        Emptylab = make<platform::TLabel>("Emptylab");
        Unnamedlab = make<platform::TLabel>("");
        Unnamedlab->setCaption(QStringLiteral("Loose"));
        Nameed = make<platform::TLabeledEdit>("Nameed");
        Nameed->editLabel()->setCaption(QStringLiteral("Name"));
        Nameed->setText(QStringLiteral("Smith"));
        Okbtn = make<platform::TButton>("Okbtn");
        Okbtn->setCaption(QStringLiteral("OK"));
        Pages = make<platform::TPageControl>("Pages");
        Firstts = new platform::TTabSheet(Pages);
        Firstts->setObjectName(QStringLiteral("Firstts"));
        Firstts->setCaption(QStringLiteral("First"));
        Optionsgb = make<platform::TGroupBox>("Optionsgb");
        Optionsgb->setCaption(QStringLiteral("Options"));
        Bottompnl = make<platform::TPanel>("Bottompnl");
        Bottompnl->setCaption(QStringLiteral("Status"));
        Sizerg = make<platform::TRadioGroup>("Sizerg");
        Sizerg->setCaption(QStringLiteral("Size"));
        Sizerg->setItems({QStringLiteral("Small"), QStringLiteral("Large")});
        Sizerg->setItemIndex(1);
        Colourrg = make<platform::TRadioGroup>("Colourrg");
        Colourrg->setCaption(QStringLiteral("Colour"));
        Colourrg->setItems({QStringLiteral("Red"), QStringLiteral("Green"), QStringLiteral("Blue")});
        // A window the screen owns; its caption is recorded but never applied.
        Helperfm = new platform::TForm(this);
        Helperfm->setObjectName(QStringLiteral("Helperfm"));
        Helperfm->setCaption(QStringLiteral("Helper"));
        addComponent(Helperfm);
        Fastrb = make<platform::TRadioButton>("Fastrb");
        Fastrb->setCaption(QStringLiteral("Fast"));
        Savecb = make<platform::TCheckBox>("Savecb");
        Savecb->setCaption(QStringLiteral("Save on exit"));
        Fileslv = make<platform::TListView>("Fileslv");
        for (const char* heading : {"Name", "Size", "Date", "Owner", "Mode"})
            Fileslv->addColumn(QLatin1String(heading), 60);
        Filtered = make<platform::TEdit>("Filtered");
        Filtered->setText(QStringLiteral("abc"));
        Modecb = make<platform::TComboBox>("Modecb");
        Modecb->setEditable(true);
        Modecb->setText(QStringLiteral("Auto"));
        Notesmemo = make<platform::TMemo>("Notesmemo");
        Notesmemo->setLines({QStringLiteral("one"), QStringLiteral("two")});
        Pickslb = make<platform::TListBox>("Pickslb");
        Pickslb->setItems({QStringLiteral("x"), QStringLiteral("y")});
        Pickslb->setItemIndex(0);
    }

    platform::TLabel* Titlelab;
    platform::TLabel* Placeholderlab;
    platform::TLabel* Openlab;
    platform::TLabel* Emptylab;
    platform::TLabel* Unnamedlab;
    platform::TLabeledEdit* Nameed;
    platform::TButton* Okbtn;
    platform::TPageControl* Pages;
    platform::TTabSheet* Firstts;
    platform::TGroupBox* Optionsgb;
    platform::TPanel* Bottompnl;
    platform::TRadioGroup* Sizerg;
    platform::TRadioGroup* Colourrg;
    platform::TForm* Helperfm;
    platform::TRadioButton* Fastrb;
    platform::TCheckBox* Savecb;
    platform::TListView* Fileslv;
    platform::TEdit* Filtered;
    QPointer<platform::TComboBox> Modecb;
    platform::TMemo* Notesmemo;
    platform::TListBox* Pickslb;

    QStringList headings() const
    {
        QStringList out;
        for (int i = 0; i < Fileslv->columnCount(); ++i)
            out.append(Fileslv->headerItem()->text(i));
        return out;
    }

private:
    template <typename Control> Control* make(const char* name)
    {
        auto* control = new Control(this);
        control->setObjectName(QLatin1String(name));
        return control;
    }
};

}  // namespace langtest
