// The form's components, anchoring and the memo's line convention.
#include "platform/controls/tanchors.h"
#include "platform/controls/textctrls.h"
#include "platform/controls/tform.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

TEST(Form, KeepsItsComponentsInCreationOrderWhateverContainerHoldsThem)
{
    TForm form;
    auto* panel = new TPanel(&form);
    auto* inPanel = new TEdit(panel);
    auto* timer = new TTimer(&form);
    auto* onForm = new TButton(&form);
    auto* group = new TGroupBox(panel);
    auto* deep = new TListView(group);
    auto* gone = new TLabel(&form);
    delete gone;
    EXPECT_EQ(form.components(), (QObjectList{panel, inPanel, timer, onForm, group, deep}));
    EXPECT_TRUE(qobject_cast<QPushButton*>(onForm));
    EXPECT_EQ(TForm::owningForm(deep), &form);
}

TEST(Form, CloseBoxIsCancelAndZeroKeepsTheFormOpen)
{
    TForm form;
    form.show();
    form.setModalResult(mrNone);
    EXPECT_TRUE(form.isVisible());
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.modalResult(), mrCancel);
}

TEST(Anchors, DockedAndRightAnchoredControlsFollowTheirContainer)
{
    TForm form;
    form.resize(400, 300);
    auto* bottom = new TPanel(&form);
    bottom->resize(400, 48);
    setalign(bottom, TAlign::alBottom);
    auto* button = new TButton(bottom);
    button->setGeometry(300, 10, 75, 25);
    setanchors(button, TAnchors(akTop) | akRight);
    auto* wide = new TLabel(&form);
    wide->setGeometry(10, 10, 370, 20);
    setanchors(wide, TAnchors(akLeft) | akTop | akRight);

    form.resize(500, 350);
    applyanchors(&form);
    EXPECT_EQ(bottom->geometry(), QRect(0, 302, 500, 48));
    EXPECT_EQ(button->geometry(), QRect(400, 10, 75, 25));
    EXPECT_EQ(wide->geometry(), QRect(10, 10, 470, 20));
}

TEST(Memo, TextIsLinesEachEndedByCrLf)
{
    struct Case {
        QString in;
        QStringList lines;
        QString out;
    };
    const Case cases[] = {
        {"", {}, ""},
        {"one", {"one"}, "one\r\n"},
        {"one\r\ntwo\r\n", {"one", "two"}, "one\r\ntwo\r\n"},
        {"one\ntwo\rthree", {"one", "two", "three"}, "one\r\ntwo\r\nthree\r\n"},
        {"one\r\n\r\n", {"one", ""}, "one\r\n\r\n"},
    };
    for (const Case& c : cases) {
        TMemo memo;
        memo.setText(c.in);
        EXPECT_EQ(memo.lines(), c.lines) << c.in.toStdString();
        EXPECT_EQ(memo.text(), c.out) << c.in.toStdString();
    }
}

}  // namespace
