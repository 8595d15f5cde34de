// Save, Save As, the build tick and the command-file export.
#include "ui/form1.h"

void Form1::save() {}
void Form1::saveas() {
    m_project.setFilename(kNoname);
    save();
}
void Form1::timer1Tick() { Timer1->stop(); }
void Form1::exportlist() {}
