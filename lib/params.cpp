#include "lib/params.h"

#include "lib/basictext.h"
#include "platform/runargs.h"

namespace vek {

bool getparam(const QString& name, QString& value)
{
    return paramof(platform::runArguments(), name, value);
}

bool paramof(const QStringList& args, const QString& name, QString& value)
{
    const QString wanted = uppertext(name);
    value.clear();
    bool found = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& written = args[i];
        const QString upper = uppertext(written);
        if (upper == wanted) {
            found = true;  // a bare NAME leaves an earlier value as it was
            continue;
        }
        const qsizetype eq = upper.indexOf(u'=');
        if (eq < 0)
            continue;
        if (QStringView(upper).left(eq) == wanted || QStringView(upper).left(eq + 1) == wanted) {
            found = true;
            // The value is taken from the parameter as written: upper-casing can
            // change the length of the name (the German sharp s becomes "SS"), so
            // a position in the upper-cased text does not point into `written`.
            value = trimtext(written.mid(written.indexOf(u'=') + 1));
        }
    }
    return found;
}

bool getparam(const QString& name)
{
    QString ignored;
    return getparam(name, ignored);
}

bool isparam(const QString& name)
{
    return getparam(name);
}

QString exename()
{
    const QStringList args = platform::runArguments();
    return args.isEmpty() ? QString() : args.front();
}

QString getenvvar(const QString& name)
{
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

}  // namespace vek
