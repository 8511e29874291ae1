#include "lib/focus.h"
#include "platform/controls/tform.h"
#include "platform/controls/tstdctrls.h"

#include <QTest>
#include <gtest/gtest.h>

using platform::TEdit;
using platform::TForm;
using platform::TLabel;

TEST(SafeFocus, FocusesOnlyAControlThatCanTakeIt)
{
    TForm form;
    auto* first = new TEdit(&form);
    auto* shown = new TEdit(&form);
    auto* hidden = new TEdit(&form);
    auto* disabled = new TEdit(&form);
    auto* label = new TLabel(&form);
    hidden->hide();
    disabled->setEnabled(false);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    first->setFocus();
    ASSERT_EQ(form.focusWidget(), first);

    vek::safefocus(shown);
    EXPECT_EQ(form.focusWidget(), shown);
    EXPECT_TRUE(shown->hasFocus());
    for (QWidget* refused : {static_cast<QWidget*>(hidden), static_cast<QWidget*>(disabled),
                             static_cast<QWidget*>(label), static_cast<QWidget*>(nullptr)}) {
        vek::safefocus(refused);
        EXPECT_EQ(form.focusWidget(), shown) << (refused ? refused->metaObject()->className() : "null");
    }

    // A control on a form that is not shown stays as it is.
    TForm closed;
    auto* edit = new TEdit(&closed);
    vek::safefocus(edit);
    EXPECT_FALSE(edit->hasFocus());
}
