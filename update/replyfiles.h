#pragma once
// How the updater reads what the server tells it about files: the lines of
// the update service's file data reply, the file names they give, and the
// digest in a file's ".md5" side file. Nothing here touches the network.
#include <QString>
#include <QStringList>

#include <optional>

namespace vek {

// The lines of a file data reply: every quote, CR LF, LF and CR ends a line;
// empty lines are dropped. Each line is "name=fields", the fields split by "|".
QStringList replylines(QString reply);

// Whether a name from a reply names a file of the local folder and nothing
// outside it: not empty, not "." or "..", without "/", "\" or a character 0.
bool isplainfilename(const QString& name);

// A file a reply line names: its name and its fields (the second is the
// server's date of the file).
struct ReplyFile {
    QString name;
    QStringList fields;
};

// The file of a reply line "name=fields": none unless the name is plain
// (isplainfilename), at least two fields follow it, and neither the name nor
// a field holds a control character.
std::optional<ReplyFile> replyfile(const QString& line);

// The digest a side file's text gives: the first word of its first line when
// that is 32 hexadecimal digits; none otherwise.
std::optional<QString> sidefiledigest(const QString& text);

}  // namespace vek
