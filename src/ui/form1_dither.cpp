// Tools > Dither reduced depths and View > Compare with source: the dithered save and the
// preview that shows what it gives beside the source.
#include "ui/form1.h"

#include "project/project_commands.h"

#include <QAction>
#include <QMenu>

void Form1::buildCompareItem(QMenu* view) {
    QAction* compare = view->addAction(tr("&Compare with source"));
    compare->setObjectName(QStringLiteral("comparewithsource"));
    compare->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
    compare->setCheckable(true);
    compare->setChecked(false);
    addAction(compare); // the keys work while the menu is closed
    connect(compare, &QAction::toggled, m_preview, &PreviewPane::setCompare);
}

void Form1::buildDitherItem(QMenu* tools) {
    QAction* dither = tools->addAction(tr("D&ither reduced depths"));
    dither->setObjectName(QStringLiteral("ditherreduceddepths"));
    dither->setCheckable(true);
    dither->setChecked(m_project.ditherReducedDepths());
    connect(dither, &QAction::toggled, this,
            [this](bool on) { pushSetting(m_project, QStringLiteral("dither"), on); });
    // The item and the preview show the project's setting, however it changed.
    connect(&m_project, &Project::ditherReducedDepthsChanged, this, [this, dither](bool on) {
        if (dither->isChecked() != on) dither->setChecked(on);
        m_preview->setDither(on);
    });
    m_preview->setDither(m_project.ditherReducedDepths());
}
