#pragma once
// The language editor on a scratch folder: the program's shared files folder,
// its data folder and a language folder with files the test writes, the
// editor opened as the form menu opens it, on the screen "Testfm".
#include "lang/langrows.h"
#include "lang/updlangfm.h"
#include "langguards.h"
#include "libguards.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

namespace langtest {

class UpdLangTest : public ::testing::Test {
protected:
    UpdLangTest() : args_({dir.file(QStringLiteral("TessarineInstaller")), QStringLiteral("LOCALFOLDER=") + dir.path()})
    {
        QDir().mkpath(langFolder());
    }
    ~UpdLangTest() override
    {
        if (editor.isVisible())
            editor.done(platform::mrCancel);
    }

    QString langFolder() const { return dir.path() + QStringLiteral("files/lang_files/"); }
    QString langFile(const QString& name) const { return langFolder() + name; }
    // A language file as the family writes it: the UTF-8 mark, CR LF.
    void writeLang(const QString& name, const QStringList& lines)
    {
        QByteArray bytes("\xEF\xBB\xBF");
        for (const QString& line : lines)
            bytes += line.toUtf8() + "\r\n";
        testsupport::writeFile(langFile(name), bytes);
    }
    // The lines of a language file, checking its form on the way.
    QStringList fileLines(const QString& name) const
    {
        const QByteArray bytes = testsupport::readFile(langFile(name));
        EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << name.toStdString();
        EXPECT_TRUE(bytes.endsWith("\r\n")) << name.toStdString();
        QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
        lines.removeLast();
        return lines;
    }

    // Shows the editor on a file, the control under the pointer given.
    void open(const QString& name, const QString& controlname = {}, const QString& controltext = {})
    {
        editor.callingform = QStringLiteral("Testfm");
        editor.callingscreen = QStringLiteral("Test screen");
        editor.langfolder = langFolder();
        editor.langfile = langFile(name);
        editor.controlname = controlname;
        editor.controltext = controltext;
        editor.show();
    }
    // The rows as "kind|name|text|line".
    QStringList rows() const
    {
        QStringList out;
        for (const platform::TListItem* row : editor.Langlv->rows())
            out << (QStringList{row->caption()} + row->subItems()).join(u'|');
        return out;
    }
    QString selectedRow() const
    {
        const auto* row = static_cast<platform::TListItem*>(editor.Langlv->currentItem());
        return row ? (QStringList{row->caption()} + row->subItems()).join(u'|') : QStringLiteral("(none)");
    }
    // Clicks the row at `position` as the user would.
    void click(int position)
    {
        platform::TListItem* row = editor.Langlv->item(position);
        ASSERT_NE(row, nullptr);
        editor.Langlv->setCurrentItem(row);
        emit editor.Langlv->itemClicked(row, 0);
    }
    // Types a language code and leaves the field.
    void typeLanguage(const QString& code)
    {
        editor.Languageed->setText(code);
        emit editor.Languageed->editingFinished();
    }

    testsupport::ScratchDir dir;
    testsupport::RunArgumentsScope args_;
    testsupport::FilesFolderScope files_;
    testsupport::LangStateScope state_;
    QStringList warnings;
    testsupport::WarningCallScope warningCalls_{
        [this](const QString& message, const QString&) { warnings << message; }};
    vek::TUpdLangfm editor;
};

}  // namespace langtest
