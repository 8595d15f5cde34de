// The reading run of the status window.
#include "mbm/reading_run.h"
#include "ui/form1.h"
#include "ui/form4.h"

ReadingOutcome Form4::extract(Project& into) {
    ReadingOptions options;
    options.wait = m_main.workFolders().waitOptions();
    options.scanned = [this](const QStringList& switches) {
        List1->clear();
        List1->addItems(switches);
    };
    const ReadingOutcome outcome = runReading(m_main.programFolder(), Text1->text(), Text2->text(),
                                              *this, m_main.interaction(), into, options);
    close();
    return outcome;
}
