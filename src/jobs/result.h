// A small result type: success, or a message the user can act on.
#pragma once
#include <QString>

/// Never ignored: a caller that has no use for a failure says so with (void) and why.
struct [[nodiscard]] Status {
    bool ok = true;
    QString error;

    static Status success() { return {}; }
    static Status failure(const QString& message) { return {false, message}; }
    explicit operator bool() const { return ok; }
};
