#pragma once
// Small text operations: name=value halves, case-blind search and replace,
// quotes, safe list access and the byte forms of texts.
#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

namespace vek {

// Separates a name from its value in texts of the form name=value. "=" except
// while a delimited import runs (see namevaluesepscope).
extern QChar namevaluesep;

// Puts another separator in place for one operation and the previous one back
// when it ends, also when it ends early.
class namevaluesepscope {
public:
    explicit namevaluesepscope(QChar separator);
    ~namevaluesepscope();
    namevaluesepscope(const namevaluesepscope&) = delete;
    namevaluesepscope& operator=(const namevaluesepscope&) = delete;

private:
    QChar previous_;
};

// 1-based position of `sub` in `text` ignoring case; 0 when absent or `sub` is empty.
int textposnocase(const QString& sub, const QString& text);
// True when the shorter text starts the longer one, comparing A-Z without
// case; two empty texts agree, one empty text agrees with nothing.
bool samestart(const QString& a, const QString& b);
// The text before the first namevaluesep (untrimmed); the whole text when none.
QString namepart(const QString& text);
// The trimmed text after the first namevaluesep; the whole text trimmed when none.
QString valuepart(const QString& text);
QString valuepartupper(const QString& text);
// Replaces every occurrence of `find`, ignoring case; nothing for an empty `find`.
void replaceall(QString& text, const QString& find, const QString& replacement);
QString replacedtext(const QString& text, const QString& find, const QString& replacement);
// Drops a double quote at both ends; a lone double quote becomes empty.
QString unquote(const QString& text);

// The item at `index`, or "" when there is none (also for a negative index).
QString listitem(const QStringList& list, qsizetype index);
QString listitem(const QStringList* list, qsizetype index);
// The same for any indexable collection of texts.
template <typename Strings> QString stringsitem(const Strings& items, qsizetype index)
{
    if (index < 0 || index >= static_cast<qsizetype>(items.size()))
        return {};
    return QString(items[index]);
}

// Characters below 256 become one byte; any other character two bytes, 0
// and its low byte.
QByteArray widetobytes(const QString& text);
// Each byte becomes the character of the same code (0-255).
QString bytestowide(const QByteArray& bytes);

}  // namespace vek
