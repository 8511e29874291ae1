#pragma once
// The text rules of the language editor: how a line of a language file
// becomes a row, how a text is stripped of everything but its words before it
// goes to the translation service, and how line markers travel through the
// service so that several texts share one request.
#include <QString>
#include <QStringList>

#include <optional>

namespace vek {

// One record as the editor shows it: the kind (before the key's first "_"),
// the record name (the rest of the key) and the text (after the first "=").
struct LangRow {
    QString kind;
    QString name;
    QString text;
};

// The row of a file line; none for a line that is no record the editor
// shows: one without "=", or whose key holds no "_". Such lines stay in the
// file as they are.
std::optional<LangRow> langrowof(const QString& line);
// The file line of a row: kind "_" name "=" text, the text as a file line may
// hold it (langfileline: a line break as "|", no control character).
QString langrowline(const LangRow& row);

// What joins the parts of a multi-line record (a memo's lines, a list's
// items, a list view's headings) into one line of the file.
inline constexpr QChar kPartSeparator = u'|';

// The kinds whose text is edited as lines, one "|"-separated part a line
// (memo, listbox, listview, text; letter case ignored).
bool multilinekind(const QString& kind);

// Every character from 33 to 126 that is not a letter A-Z or a-z (digits
// included) becomes a blank; blanks, control characters and characters above
// 126 stay; the result is trimmed. What is left is what gets translated, and
// the punctuation around it survives the translation.
QString removepunctuation(const QString& s);

// The marker that follows each line of a memo in a one-record request, and
// each text of a batch in a bulk request.
inline const QString kMemoLineMarker = QStringLiteral("/r/n/");
inline const QString kBatchMarker = QStringLiteral("/r/n");
// The most texts one bulk request carries.
inline constexpr int kBatchSize = 10;

// The request text for a memo's lines: each stripped line and its marker.
QString memorequest(const QStringList& lines);
// The lines of a translated memo request. The service may put blanks around
// the slashes and letters of a marker or change their case; a marker in any
// of those forms ends a line, and the blanks around it go with it.
QStringList memoreplylines(const QString& reply);
// The lines of a translated batch request, one a text, trimmed, in the order
// of the request.
QStringList batchreplylines(const QString& reply);

}  // namespace vek
