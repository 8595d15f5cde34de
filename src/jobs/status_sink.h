// Where a running job reports its status text.
#pragma once
#include <QString>

class StatusSink {
  public:
    virtual ~StatusSink() = default;
    /// Shows `text` at once (the window repaints before the job blocks again).
    virtual void setStatus(const QString& text) = 0;
};
