// Icons and their masks in the Project list: which rows pair up, and the rows a move or a
// removal takes so that every pair stays together.
#pragma once
#include "project/project_list.h"

#include <QSize>
#include <functional>
#include <vector>

/// The pixel size of a picture file as its header states it (invalid when unreadable).
QSize pictureFileSize(const QString& path);

/// One move of explicit rows, as ProjectList::moveRows takes it.
struct RowMove {
    std::vector<int> rows;
    int destination = 0;
};

/// The pairs of a Project list. Entry r+1 is the mask of entry r when r is no mask itself,
/// r+1 is stored at "/1" or "/8", both pictures have the same pixel size, and either their
/// switches differ or the mask's name ends with "mask" (an editor's, a demo icon's or a
/// read archive's mask, but not the next of two grey pictures).
class IconPairs {
  public:
    using SizeOf = std::function<QSize(const BitmapEntry&)>;
    /// The pairs of `list`; sizes come from the files' headers unless `sizeOf` is given.
    static IconPairs of(const ProjectList& list, const SizeOf& sizeOf = {});

    /// The mask row of icon `row`, -1 when it has none.
    int maskOf(int row) const;
    /// The icon row of mask `row`, -1 when it is no mask.
    int iconOf(int row) const;
    bool isMask(int row) const { return iconOf(row) >= 0; }

    /// `rows` with the mask of every icon among them, sorted (what Remove selected takes).
    std::vector<int> withMasks(const std::vector<int>& rows) const;
    /// `rows` with the partner of every icon and mask among them, sorted (what a move takes).
    std::vector<int> withPartners(const std::vector<int>& rows) const;
    /// Alt+Up (-1) and Alt+Down (+1): the moves, to apply in order, that take every pair or
    /// single entry holding one of `rows` one place past its neighbour pair or entry. A unit
    /// at the end it moves towards, or behind a moving unit that cannot move, stays.
    std::vector<RowMove> movesByOne(const std::vector<int>& rows, int delta) const;
    /// A drop position between an icon and its mask becomes the position after the mask.
    int dropDestination(int destination) const;

  private:
    std::vector<int> m_maskOf; ///< per row: its mask's row or -1
    std::vector<int> m_iconOf; ///< per row: its icon's row or -1
};
