#include "ui/tool_window.h"

#include "ui/form1.h"

ToolWindow::ToolWindow(Form1& main) : QDialog(&main), m_main(main) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setSizeGripEnabled(false);
}

void ToolWindow::reject() {
    QDialog::reject();
    // A hidden dialog is not unloaded by hiding alone; close() deletes it.
    close();
}
