// A small result type: success, or a message the user can act on.
#pragma once
#include <QString>

struct Status {
    bool ok = true;
    QString error;

    static Status success() { return {}; }
    static Status failure(const QString& message) { return {false, message}; }
    explicit operator bool() const { return ok; }
};
