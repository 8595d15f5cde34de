// The main window's View menu and the preview it drives.
#include "ui/form1.h"

#include "ui/preview.h"

#include <QAction>
#include <QMenu>

void Form1::buildViewMenu(QMenu* view) {
    auto addEntry = [this, view](const char* name, const QString& caption,
                                 const QList<QKeySequence>& keys) {
        QAction* a = view->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setShortcuts(keys);
        addAction(a); // the keys work while the menu is closed
        return a;
    };
    QAction* asStored =
        addEntry("showasstored", tr("Show as &stored"), {QKeySequence(Qt::CTRL | Qt::Key_T)});
    asStored->setCheckable(true);
    asStored->setChecked(false);
    buildCompareItem(view);
    // Ctrl+= is Ctrl++ without Shift on keyboards that put + above =.
    QAction* in =
        addEntry("zoomin", tr("Zoom &in"),
                 {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    QAction* out = addEntry("zoomout", tr("Zoom &out"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    QAction* fit = addEntry("fit", tr("&Fit"), {QKeySequence(Qt::CTRL | Qt::Key_0)});

    connect(asStored, &QAction::toggled, this, [this](bool on) { m_preview->setShowAsStored(on); });
    connect(in, &QAction::triggered, m_preview, &PreviewPane::zoomIn);
    connect(out, &QAction::triggered, m_preview, &PreviewPane::zoomOut);
    connect(fit, &QAction::triggered, m_preview, &PreviewPane::fit);
    auto follow = [in, out, fit](int zoom) {
        in->setEnabled(zoom < kZoomMax);
        out->setEnabled(zoom != kZoomFit);
        fit->setEnabled(zoom != kZoomFit);
    };
    connect(m_preview, &PreviewPane::zoomChanged, this, follow);
    follow(m_preview->zoom());
    buildBackdropMenu(view);

    // The stored size follows the archive type a save builds.
    m_preview->setArchiveType(m_project.archiveType());
    connect(&m_project, &Project::archiveTypeChanged, m_preview, &PreviewPane::setArchiveType);
    // The shown picture follows a change of the switch it is stored with.
    connect(colourselection, &QComboBox::currentTextChanged, this, [this](const QString& s) {
        if (m_preview->subject().row < 0 && m_preview->hasPicture()) m_preview->setSwitch(s);
    });
    connect(&list(), &QAbstractItemModel::dataChanged, this, [this] {
        const PreviewSubject& shown = m_preview->subject();
        if (shown.row < 0 || shown.row >= list().count() || !m_preview->hasPicture()) return;
        const BitmapEntry& e = list().at(shown.row);
        if (e.dir + e.name == shown.path && e.colour != shown.colourSwitch)
            m_preview->setSwitch(e.colour);
    });
}

void Form1::showPreview(const QString& path) {
    showPreview(PreviewSubject{path, colourselection->currentText(), {}, -1, {}, {}});
}

void Form1::showPreview(const PreviewSubject& subject) {
    if (m_project.selecting != 0) return;
    // A file that cannot be read as a picture leaves the preview area empty.
    m_preview->show(subject);
}
