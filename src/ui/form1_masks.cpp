// Icons with their masks in the main window: the mask settings of the Tools menu, adding
// masks, moves and removals that keep pairs together, the phone's view of an icon over the
// View menu's backdrop, and saving entries as PNG.
#include "ui/form1.h"

#include "mbm/icon_masks.h"
#include "mbm/icon_pairs.h"
#include "project/list_commands.h"
#include "project/project_commands.h"
#include "ui/choice_menu.h"
#include "ui/form2.h"

#include <QMenu>

void Form1::buildMaskMenu(QMenu* tools) {
    // The items stand in the order of MaskKind.
    QMenu* masks = addChoiceMenu(tools, "maskstransparency", tr("&Masks from transparency"),
                                 {{"masknone", tr("&None")},
                                  {"mask1bit", tr("&1-bit mask")},
                                  {"mask8bit", tr("&8-bit soft mask")}},
                                 maskKindItems, [this](int k) {
                                     MaskSettings m = m_project.masks();
                                     m.kind = MaskKind(k);
                                     setMasks(m);
                                 });
    masks->addSeparator();
    maskwhite = masks->addAction(tr("1-bit masks &white where drawn"));
    maskwhite->setObjectName(QStringLiteral("maskwhite"));
    maskwhite->setCheckable(true);
    connect(maskwhite, &QAction::triggered, this, [this](bool on) {
        MaskSettings m = m_project.masks();
        m.whiteWhereDrawn = on;
        setMasks(m);
    });
    QAction* add = tools->addAction(tr("Add mask to se&lected"));
    add->setObjectName(QStringLiteral("addmask"));
    connect(add, &QAction::triggered, this, &Form1::addMaskToSelected);
    QAction* png = tools->addAction(tr("Save selected as &PNG"));
    png->setObjectName(QStringLiteral("savepng"));
    connect(png, &QAction::triggered, this, &Form1::savePngSelected);

    // The menu shows the project's settings, however they changed.
    auto show = [this](const MaskSettings& m) {
        maskKindItems[int(m.kind)]->setChecked(true);
        maskwhite->setChecked(m.whiteWhereDrawn);
    };
    connect(&m_project, &Project::masksChanged, this, show);
    show(m_project.masks());
}

void Form1::buildBackdropMenu(QMenu* view) {
    // The items stand in the order of Backdrop.
    addChoiceMenu(
        view, "backdrop", tr("&Backdrop"),
        {{"checkerboard", tr("&Checkerboard")}, {"white", tr("&White")}, {"black", tr("&Black")}},
        backdropItems, [this](int k) { setBackdrop(Backdrop(k)); });
    backdropItems[int(Backdrop::Checkerboard)]->setChecked(true);
}

void Form1::setMasks(const MaskSettings& masks) {
    const MaskSettings now = m_project.masks();
    if (masks.kind != now.kind) pushSetting(m_project, QStringLiteral("maskKind"), int(masks.kind));
    if (masks.whiteWhereDrawn != now.whiteWhereDrawn)
        pushSetting(m_project, QStringLiteral("masksWhiteWhereDrawn"), masks.whiteWhereDrawn);
    // An item that made no step shows the setting again.
    maskKindItems[int(m_project.masks().kind)]->setChecked(true);
    maskwhite->setChecked(m_project.masks().whiteWhereDrawn);
}

void Form1::setBackdrop(Backdrop backdrop) {
    backdropItems[int(backdrop)]->setChecked(true);
    m_preview->setBackdrop(backdrop);
}

void Form1::setUpMasks() {
    // Mask rows are marked once the list has settled after a change.
    auto later = [this] {
        if (m_marksPending) return;
        m_marksPending = true;
        QTimer::singleShot(0, this, [this] { markMaskRows(); });
    };
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(&list(), signal, this, later);
    connect(&list(), &QAbstractItemModel::modelReset, this, later);
    connect(&list(), &QAbstractItemModel::layoutChanged, this, later);
    connect(&list(), &QAbstractItemModel::dataChanged, this, later);
    m_preview->setWhiteWhereDrawn(m_project.masks().whiteWhereDrawn);
    connect(&m_project, &Project::masksChanged, m_preview,
            [this](const MaskSettings& m) { m_preview->setWhiteWhereDrawn(m.whiteWhereDrawn); });
}

void Form1::markMaskRows() {
    m_marksPending = false;
    const IconPairs pairs = IconPairs::of(list());
    std::vector<char> marked(size_t(list().count()), 0);
    for (int r = 0; r < list().count(); ++r)
        marked[size_t(r)] = pairs.isMask(r);
    DisplayList->setMarkedRows(std::move(marked));
}

PreviewSubject Form1::entrySubject(int row) {
    const BitmapEntry& e = list().at(row);
    PreviewSubject subject{e.dir + e.name, e.colour, e.origin, row, {}, {}};
    const int mask = IconPairs::of(list()).maskOf(row);
    if (mask >= 0) {
        subject.maskPath = list().at(mask).dir + list().at(mask).name;
        subject.maskSwitch = list().at(mask).colour;
    }
    return subject;
}

static QString maskFailureMessage(const QStringList& failures) {
    return QStringLiteral("These masks were not made; their pictures were added without "
                          "them:\n") +
           failures.join(QLatin1Char('\n')) +
           QStringLiteral("\nCheck that the program folder can be written to, then use Tools > "
                          "Add mask to selected.");
}

void Form1::appendPictures(const std::vector<BitmapEntry>& pictures) {
    if (pictures.empty()) return;
    const MaskedEntries made = entriesWithMasks(pictures, m_project.masks(), m_work, list());
    const int added = pushAppend(m_project, made.entries,
                                 entriesText(QStringLiteral("Add"), int(made.entries.size())));
    if (!made.failures.isEmpty())
        interaction().message(maskFailureMessage(made.failures), QStringLiteral("Error"));
    if (added < int(made.entries.size()))
        interaction().message(listFullMessage(int(made.entries.size()) - added),
                              QStringLiteral("Error"));
}

void Form1::removeSelectedWithMasks() {
    const std::vector<int> selected = list().selectedIndices();
    if (selected.empty()) return;
    const std::vector<int> rows = IconPairs::of(list()).withMasks(selected);
    pushRemove(m_project, rows, entriesText(QStringLiteral("Remove"), int(rows.size())));
}

void Form1::addMaskToSelected() {
    const std::vector<int> rows = list().selectedIndices();
    if (rows.empty()) return;
    const MaskSettings settings = m_project.masks();
    if (settings.kind == MaskKind::None) {
        interaction().message(QStringLiteral("Choose the kind of mask first: Tools > Masks from "
                                             "transparency, 1-bit mask or 8-bit soft mask."),
                              QStringLiteral("Error"));
        return;
    }
    const MaskInsertions made = masksForRows(list(), rows, settings, m_work);
    // Each mask goes in before the entry that stood at its row; as many as fit, in order.
    const int room = ProjectList::kMaxEntries - list().count();
    const int taken = std::min(room, int(made.masks.size()));
    const int left = int(made.masks.size()) - taken;
    std::vector<int> at;
    std::vector<BitmapEntry> entries;
    for (int k = 0; k < taken; ++k) {
        at.push_back(made.masks[size_t(k)].row + k);
        entries.push_back(made.masks[size_t(k)].entry);
    }
    if (!entries.empty())
        pushInsert(m_project, at, entries, entriesText(QStringLiteral("Add mask to"), taken));
    if (!made.failures.isEmpty())
        interaction().message(maskFailureMessage(made.failures), QStringLiteral("Error"));
    if (left > 0) interaction().message(listFullMessage(left), QStringLiteral("Error"));
}

void Form1::savePngSelected() {
    if (list().count() == 0 || list().selectedIndices().empty()) return;
    if (auto* open = qobject_cast<Form2*>(form(2))) {
        if (open->savesPng()) {
            raiseForm(2);
            return;
        }
        open->close();
    }
    auto* w = new Form2(*this, Form2::Png);
    setForm(2, w);
    w->show();
    w->raise();
    w->activateWindow();
}
