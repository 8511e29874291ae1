#pragma once
// A translation service on 127.0.0.1 that answers in the public service's
// reply shape from a word list of the test's: every word it knows is
// translated, the rest come back as they were. It notes every text it was
// asked, and refuses (status 503) any text that holds a word the test names.
#include "web/webservers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QRegularExpression>
#include <QStringList>

#include <mutex>

namespace langtest {

class TranslationService {
public:
    explicit TranslationService(QMap<QString, QString> words) : words_(std::move(words))
    {
        server_.routes().Get("/translate_a/single", [this](const httplib::Request& req, httplib::Response& res) {
            const QString text = QString::fromStdString(req.get_param_value("q"));
            std::lock_guard lock(mutex_);
            asked_ << text;
            if (!refused_.isEmpty() && text.contains(refused_)) {
                res.status = 503;
                return;
            }
            // [[["translation","source",null,null,10]],null,"en"]
            const QJsonArray segment{translated(text), text, QJsonValue(), QJsonValue(), 10};
            // The segment list is built by append: a braced QJsonArray{segment} is a
            // copy of `segment` to some compilers, not a list holding it.
            QJsonArray segments;
            segments.append(segment);
            const QJsonArray reply{segments, QJsonValue(), QStringLiteral("en")};
            res.set_content(QJsonDocument(reply).toJson(QJsonDocument::Compact).toStdString(),
                            "application/json; charset=utf-8");
        });
    }

    bool start() { return server_.start(); }
    QString url() const { return server_.url(QString()); }
    QStringList asked()
    {
        std::lock_guard lock(mutex_);
        return asked_;
    }
    void refuseTextsWith(const QString& word)
    {
        std::lock_guard lock(mutex_);
        refused_ = word;
    }

private:
    // Word by word, the line markers ("/r/n") kept as they are but for the
    // blanks the service likes to put around their slashes.
    QString translated(const QString& text) const
    {
        static const QRegularExpression marker(QStringLiteral("/r/n"));
        QStringList pieces = text.split(marker);
        for (QString& piece : pieces)
            piece = translatedwords(piece);
        return pieces.join(QStringLiteral(" / r / n "));
    }
    QString translatedwords(const QString& text) const
    {
        QString out;
        static const QRegularExpression parts(QStringLiteral(R"(([A-Za-z]+)|([^A-Za-z]+))"));
        for (auto it = parts.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch part = it.next();
            out += part.capturedLength(1) ? words_.value(part.captured(1), part.captured(1)) : part.captured(2);
        }
        return out;
    }

    webtest::TestServer server_;
    std::mutex mutex_;
    QMap<QString, QString> words_;
    QStringList asked_;
    QString refused_;
};

}  // namespace langtest
