// The side tools: templated export, demo icons, About, saving entries as BMP.
#include "ui/form1.h"

#include "ui/form2.h"
#include "ui/form5.h"
#include "ui/form6.h"
#include "ui/form7.h"

namespace {

/// Opens secondary window n, or brings it to the front when it is open already.
template <typename Window> void openSingle(Form1& main, int n) {
    if (main.raiseForm(n)) return;
    auto* w = new Window(main);
    main.setForm(n, w);
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace

void Form1::customlistexport() {
    if (list().count() == 0) return;
    openSingle<Form7>(*this, 7);
}

void Form1::importdemoicon() {
    openSingle<Form6>(*this, 6);
}

void Form1::about() {
    openSingle<Form5>(*this, 5);
}

void Form1::command5Click() {
    if (list().count() == 0 || list().selectedIndices().empty()) return;
    // The folder window open for PNG files gives way to the one for BMP files.
    if (auto* open = qobject_cast<Form2*>(form(2)); open && open->savesPng()) {
        open->close();
        setForm(2, nullptr);
    }
    openSingle<Form2>(*this, 2);
}
