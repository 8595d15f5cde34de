#include "jobs/common_dialog.h"

#include <QFileInfo>

CommonDialog::CommonDialog(Interaction& ui, QObject* parent) : QObject(parent), m_ui(ui) {
    setObjectName(QStringLiteral("CommonDialog1"));
}

bool CommonDialog::showSave() {
    return show(FileDialogRequest::Save);
}
bool CommonDialog::showOpen() {
    return show(FileDialogRequest::Open);
}

bool CommonDialog::show(FileDialogRequest::Kind kind) {
    const std::optional<QString> chosen = m_ui.fileDialog({kind, m_filter, m_fileName, {}});
    if (!chosen || chosen->isEmpty()) return false;
    setFileName(*chosen);
    return true;
}

void CommonDialog::setFileName(const QString& path) {
    m_fileName = path;
    m_fileTitle = QFileInfo(path).fileName();
}
