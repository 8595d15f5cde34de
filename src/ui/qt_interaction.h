// The real dialogs and message boxes behind the Interaction interface.
#pragma once
#include "jobs/interaction.h"

class QWidget;

/// Converts "Text file|*.txt|Dos Batch files|*.bat" into Qt's "Text file (*.txt);;...".
QString toQtFilter(const QString& filter);

class QtInteraction : public Interaction {
  public:
    explicit QtInteraction(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    std::optional<QString> fileDialog(const FileDialogRequest& request) override;
    void message(const QString& text, const QString& title) override;

  private:
    QWidget* m_parent;
};
