#pragma once
// A call that a layer above the core library installs at start, so that the
// library can reach it without depending on it (the message dialogs, the
// transfer component). One instance per hook, held by the hook's own unit.
#include <functional>
#include <utility>

namespace vek {

template <typename Signature> class Hook;

template <typename Result, typename... Args> class Hook<Result(Args...)> {
public:
    using Call = std::function<Result(Args...)>;

    // Replaces the installed call; an empty one uninstalls it.
    void install(Call call) { call_ = std::move(call); }
    bool installed() const { return static_cast<bool>(call_); }
    const Call& current() const { return call_; }
    // The installed call's result, or `fallback` when none is installed.
    template <typename Fallback> Result callOr(Fallback&& fallback, Args... args) const
    {
        if (call_)
            return call_(std::forward<Args>(args)...);
        return std::forward<Fallback>(fallback)(std::forward<Args>(args)...);
    }

private:
    Call call_;
};

}  // namespace vek
