#pragma once
// One guard for each piece of process-wide state of the platform layer that a
// test may change: it takes note of what is there when it is made, lets the
// test set its own, and puts back what it found when it goes, also when an
// assertion ends the test early. The library's state has its guards in
// libguards.h, the locale snapshot and Qt's default locale in localescope.h,
// the answer queue and the unattended flag in dialogs/answerseam.h.
#include "platform/controls/screenmetrics.h"
#include "platform/faultinjection.h"
#include "platform/runargs.h"

#include <QByteArray>
#include <QDir>
#include <QStringList>
#include <optional>

namespace testsupport {

// Base of the guards: not to be copied, since two copies would put back twice.
class StateGuard {
public:
    StateGuard() = default;
    StateGuard(const StateGuard&) = delete;
    StateGuard& operator=(const StateGuard&) = delete;
};

// The run parameters that getparam reads. (The files folder is fixed from
// them on first use: a test that reads it adds a FilesFolderScope.)
class RunArgumentsScope : StateGuard {
public:
    // Takes note only; the test sets its parameters later with set().
    RunArgumentsScope() : saved_(platform::runArgumentsOverride()) {}
    explicit RunArgumentsScope(const QStringList& args) : RunArgumentsScope() { platform::setRunArguments(args); }
    ~RunArgumentsScope()
    {
        if (saved_)
            platform::setRunArguments(*saved_);
        else
            platform::clearRunArguments();
    }
    void set(const QStringList& args) { platform::setRunArguments(args); }

private:
    std::optional<QStringList> saved_;
};

// The fault seam: disarmed when the guard goes, whatever the test armed.
// Disarmed is the only state a test finds it in (an armed fault cannot be
// read back), so the guard disarms on both sides instead of saving.
class FaultScope : StateGuard {
public:
    FaultScope() { platform::clearFaults(); }
    ~FaultScope() { platform::clearFaults(); }
};

// The screens the overlay and the windows are placed on.
class ScreenMetricsScope : StateGuard {
public:
    explicit ScreenMetricsScope(platform::ScreenMetricsOverride metrics) : saved_(platform::screenmetricsoverride())
    {
        platform::overridescreenmetrics(std::move(metrics));
    }
    ~ScreenMetricsScope() { platform::overridescreenmetrics(saved_); }

private:
    platform::ScreenMetricsOverride saved_;
};

// One environment variable, set (or, with no value, removed) for the test.
class EnvironmentScope : StateGuard {
public:
    EnvironmentScope(const char* name, const std::optional<QByteArray>& value)
        : name_(name), saved_(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt)
    {
        apply(value);
    }
    ~EnvironmentScope() { apply(saved_); }

private:
    void apply(const std::optional<QByteArray>& value)
    {
        if (value)
            qputenv(name_, *value);
        else
            qunsetenv(name_);
    }
    const char* name_;
    std::optional<QByteArray> saved_;
};

// The process's current folder, which relative names are read against.
class CurrentFolderScope : StateGuard {
public:
    explicit CurrentFolderScope(const QString& folder) : saved_(QDir::currentPath()), changed_(QDir::setCurrent(folder))
    {
    }
    ~CurrentFolderScope() { (void)QDir::setCurrent(saved_); }  // the folder it was in may be gone
    // Whether the folder could be made current.
    bool changed() const { return changed_; }

private:
    QString saved_;
    bool changed_;
};

}  // namespace testsupport
