#pragma once
// The one way our own code says that a step failed: a Result is either a
// value (nothing, for Result<void>) or a failure, which is the family's code
// (platform/winerror.h, never 0) and a message in words for the user or the
// log. The family's own signatures keep their codes and Booleans and take
// them from a Result inside.
#include "platform/winerror.h"

#include <QString>

#include <optional>
#include <utility>

namespace platform {

// A failure on its way into a Result: `fail(code, message)`. A code of 0
// says "failed" all the same and becomes winerr::IoDevice, so that a
// failure never reads as success.
struct Failure {
    int code = winerr::IoDevice;
    QString message;
};

inline Failure fail(int code, QString message)
{
    return {code != 0 ? code : winerr::IoDevice, std::move(message)};
}

// The value of a step that succeeded, or why it failed. ok() tells which;
// value() may be read only when ok(); code() is 0 and message() empty when
// ok().
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}  // implicit: a value is a success
    Result(Failure failure) : failure_(std::move(failure)) {}  // implicit: `return fail(...)`

    bool ok() const { return !failure_; }
    int code() const { return failure_ ? failure_->code : winerr::Success; }
    QString message() const { return failure_ ? failure_->message : QString(); }
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    // The value, or `fallback` when the step failed.
    T valueOr(T fallback) const { return value_ ? *value_ : std::move(fallback); }
    // The failure, to pass on as another Result's; only when !ok().
    const Failure& failure() const { return *failure_; }

private:
    std::optional<T> value_;
    std::optional<Failure> failure_;
};

// A step that gives nothing back but whether it succeeded.
template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : failure_(std::move(failure)) {}  // implicit: `return fail(...)`

    bool ok() const { return !failure_; }
    int code() const { return failure_ ? failure_->code : winerr::Success; }
    QString message() const { return failure_ ? failure_->message : QString(); }
    // The failure, to pass on as another Result's; only when !ok().
    const Failure& failure() const { return *failure_; }

private:
    std::optional<Failure> failure_;
};

}  // namespace platform
