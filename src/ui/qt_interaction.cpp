#include "ui/qt_interaction.h"

#include <QFileDialog>
#include <QMessageBox>

QString toQtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
    return out.join(QStringLiteral(";;"));
}

std::optional<QString> QtInteraction::fileDialog(const FileDialogRequest& request) {
    const QString filter = toQtFilter(request.filter);
    const QString path =
        request.kind == FileDialogRequest::Save
            ? QFileDialog::getSaveFileName(m_parent, request.title, request.fileName, filter)
            : QFileDialog::getOpenFileName(m_parent, request.title, request.fileName, filter);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

void QtInteraction::message(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}
