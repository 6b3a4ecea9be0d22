#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <utility>
#include <variant>

namespace trovix::platform {

// Why something failed, in words the user is shown.
struct Failure {
    QString reason;
};

// A failed write of a file: its reason, and whether the file still holds exactly its old bytes.
// False only when a write in place failed and could not be undone; the reason then says so.
// `changedMeanwhile`: the file was not the one the writer expected to replace (another program
// wrote, replaced, made or removed it), so it was left as that program left it.
struct WriteFailure {
    QString reason;
    bool unchanged = true;
    bool changedMeanwhile = false;
};

// What an operation gives back: its value, or the failure that stopped it. The failure type
// carries at least a `reason`.
template <class T, class E = Failure>
class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}      // NOLINT: implicit
    Result(E failure) : state_(std::in_place_index<1>, std::move(failure)) {}  // NOLINT

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() {
        Q_ASSERT(ok());
        return std::get<0>(state_);
    }
    const T& value() const {
        Q_ASSERT(ok());
        return std::get<0>(state_);
    }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const E& failure() const {
        Q_ASSERT(!ok());
        return std::get<1>(state_);
    }
    // The reason of a failure; empty after success.
    QString error() const { return ok() ? QString() : failure().reason; }

  private:
    std::variant<T, E> state_;
};

// A result with no value: done, or the failure that stopped it.
template <class E>
class [[nodiscard]] Result<void, E> {
  public:
    Result() = default;                                  // done
    Result(E failure) : failure_(std::move(failure)) {}  // NOLINT: implicit

    bool ok() const { return !failure_.has_value(); }
    explicit operator bool() const { return ok(); }

    const E& failure() const {
        Q_ASSERT(!ok());
        return *failure_;
    }
    QString error() const { return ok() ? QString() : failure_->reason; }

  private:
    std::optional<E> failure_;
};

// A failure with this reason.
inline Failure fail(QString reason) {
    return {std::move(reason)};
}

}  // namespace trovix::platform
