// The side tools: templated export, demo icons, About, saving entries as BMP, the preview.
#include "ui/form1.h"

void Form1::customlistexport() {}
void Form1::importdemoicon() {}
void Form1::about() {}
void Form1::command5Click() {}
void Form1::showPreview(const QString&) {
    if (m_project.selecting != 0) return;
}
