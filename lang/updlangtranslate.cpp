// The language editor's machine translation: one record, or every row shown.
#include "lang/langlines.h"
#include "lang/langrows.h"
#include "lang/updlangfm.h"
#include "lib/basictext.h"
#include "lib/cursors.h"
#include "lib/focus.h"
#include "lib/messagehook.h"
#include "lib/texts.h"
#include "web/translate.h"

#include <QCoreApplication>

namespace vek {
namespace {

constexpr int kQuotedTextLength = 40;

// A text as the failure message names it: in quotes, a long one cut short.
QString quotedText(const QString& text)
{
    const QString line = text.simplified();
    return u'"' + (line.size() > kQuotedTextLength ? line.left(kQuotedTextLength) + QChar(0x2026) : line) + u'"';
}

// The transfer says only why a request failed ("HTTP/1.0 503 Service
// Unavailable"); while one runs, its warning is put under a first line that
// says that a translation failed, of what and between which languages.
class TranslationFailureWording {
public:
    TranslationFailureWording(const QString& what, const QString& from, const QString& to) : saved_(warningcall())
    {
        setwarningcall(
            [saved = saved_, first = kTranslationFailed.arg(what, from, to)](const QString& why, const QString& title) {
                if (saved)
                    saved(first + u'\n' + kTranslationFailedWhy.arg(why), title);
            });
    }
    ~TranslationFailureWording() { setwarningcall(saved_); }
    TranslationFailureWording(const TranslationFailureWording&) = delete;
    TranslationFailureWording& operator=(const TranslationFailureWording&) = delete;

private:
    WarningCall saved_;
};

}  // namespace

// Missing codes put the focus on the empty field and stop the translation.
bool TUpdLangfm::translationCodesGiven()
{
    for (platform::TLabeledEdit* code : {Fromlanged, ToLanged}) {
        if (code->text().isEmpty()) {
            safefocus(code);
            return false;
        }
    }
    return true;
}

void TUpdLangfm::GooglebtnClick()
{
    if (!translationCodesGiven())
        return;
    const QString from = Fromlanged->text();
    const QString to = ToLanged->text();
    if (!trimtext(Langcontented->text()).isEmpty()) {
        const QString text = Langcontented->text();
        const QString source = removepunctuation(text);
        const TranslationFailureWording wording(quotedText(source), from, to);
        // The reply's escapes are decoded: a line break in it would become a
        // record of its own in the file.
        const QString translation = langfileline(translatetext(from, to, source));
        // Only the words are replaced: punctuation and digits around them stay.
        if (translation != source)
            Langcontented->setText(replacedtext(text, source, translation));
        return;
    }
    if (trimtext(langcontentmemo->text()).isEmpty())
        return;
    // One request for every line; a failed one leaves the lines as they were.
    const TranslationFailureWording wording(kTranslationOfLines.arg(langcontentmemo->lines().size()), from, to);
    const std::optional<QString> translation = requesttranslation(from, to, memorequest(langcontentmemo->lines()));
    if (!translation)
        return;
    langcontentmemo->setLines(memoreplylines(*translation));
}

void TUpdLangfm::translateMultiLineRow(platform::TListItem* row)
{
    Langlv->setCurrentItem(row);
    editRow(row);
    QCoreApplication::processEvents();
    GooglebtnClick();
    LangupdbtnClick();
}

void TUpdLangfm::translateBatch(const QList<platform::TListItem*>& batch)
{
    QCoreApplication::processEvents();
    QStringList stripped;
    QString request;
    for (const platform::TListItem* row : batch) {
        stripped << removepunctuation(row->subItem(kTextItem));
        request += stripped.last() + kBatchMarker;
    }
    // A failed request has shown its warning; the batch's rows keep their texts.
    const TranslationFailureWording wording(kTranslationOfTexts.arg(batch.size()).arg(quotedText(stripped.first())),
                                            Fromlanged->text(), ToLanged->text());
    const std::optional<QString> reply = requesttranslation(Fromlanged->text(), ToLanged->text(), request);
    if (!reply)
        return;
    const QStringList lines = batchreplylines(*reply);
    for (qsizetype i = 0; i < batch.size(); ++i) {
        // One line of the file a record: a line break or "\u0000" decoded from
        // the reply must not add records of its own.
        const QString translation = langfileline(listitem(lines, i));
        if (trimtext(translation).isEmpty() || translation.compare(stripped[i], Qt::CaseInsensitive) == 0)
            continue;
        storeRowText(batch[i], replacedtext(batch[i]->subItem(kTextItem), stripped[i], translation));
    }
}

void TUpdLangfm::setBulkRunning(bool running)
{
    bulkRunning_ = running;
    for (QWidget* control : std::initializer_list<QWidget*>{Bulkbtn, Googlebtn, Languageed, LangfileCB, FilterEd,
                                                            FilterBtn, Langlv, Langgb})
        control->setEnabled(!running);
}

void TUpdLangfm::BulkbtnClick()
{
    if (!translationCodesGiven())
        return;
    // Pending window messages run between rows: nothing else may change the
    // rows or the file meanwhile, nor close the window.
    setBulkRunning(true);
    Bulkpb->setRange(0, std::max(0, Langlv->count() - 1));
    Bulkpb->setPosition(0);
    Bulkpb->show();
    busycursor();

    const QList<platform::TListItem*> rows = Langlv->rows();
    QList<platform::TListItem*> batch;
    for (int position = 0; position < rows.size(); ++position) {
        Bulkpb->setPosition(position);
        if (multilinekind(rows[position]->caption())) {
            translateMultiLineRow(rows[position]);
            continue;
        }
        batch.append(rows[position]);
        if (batch.size() == kBatchSize) {
            translateBatch(batch);
            batch.clear();
        }
    }
    if (!batch.isEmpty())
        translateBatch(batch);

    // Saved once, whatever the requests did: the rows that were translated
    // are kept.
    (void)savelangfile();
    setBulkRunning(false);
    Bulkpb->hide();
    normalcursor();
}

}  // namespace vek
