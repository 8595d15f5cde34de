#include "mbm/icon_pairs.h"

#include <QImageReader>
#include <algorithm>

QSize pictureFileSize(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.size();
}

static bool isMaskSwitch(const QString& colour) {
    return colour == QLatin1String("/1") || colour == QLatin1String("/8");
}

static bool namedAsMask(const QString& name) {
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    QString base = dot <= 0 ? name : name.left(dot);
    // A numbered mask of the editor's: "<base>_mask2".
    while (!base.isEmpty() && base.back().isDigit())
        base.chop(1);
    return base.endsWith(QLatin1String("mask"), Qt::CaseInsensitive);
}

IconPairs IconPairs::of(const ProjectList& list, const SizeOf& sizeOf) {
    const SizeOf size =
        sizeOf ? sizeOf : [](const BitmapEntry& e) { return pictureFileSize(e.dir + e.name); };
    IconPairs pairs;
    const int n = list.count();
    pairs.m_maskOf.assign(size_t(n), -1);
    pairs.m_iconOf.assign(size_t(n), -1);
    for (int r = 0; r + 1 < n; ++r) {
        const BitmapEntry& icon = list.at(r);
        const BitmapEntry& mask = list.at(r + 1);
        if (!isMaskSwitch(mask.colour)) continue;
        if (icon.colour == mask.colour && !namedAsMask(mask.name)) continue;
        const QSize s = size(icon);
        if (s.isEmpty() || s != size(mask)) continue;
        pairs.m_maskOf[size_t(r)] = r + 1;
        pairs.m_iconOf[size_t(r + 1)] = r;
        ++r; // a mask is no icon of the entry after it
    }
    return pairs;
}

int IconPairs::maskOf(int row) const {
    return row >= 0 && size_t(row) < m_maskOf.size() ? m_maskOf[size_t(row)] : -1;
}

int IconPairs::iconOf(int row) const {
    return row >= 0 && size_t(row) < m_iconOf.size() ? m_iconOf[size_t(row)] : -1;
}

static std::vector<int> sortedUnique(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

std::vector<int> IconPairs::withMasks(const std::vector<int>& rows) const {
    std::vector<int> out = rows;
    for (int r : rows)
        if (maskOf(r) >= 0) out.push_back(maskOf(r));
    return sortedUnique(out);
}

std::vector<int> IconPairs::withPartners(const std::vector<int>& rows) const {
    std::vector<int> out = withMasks(rows);
    for (int r : rows)
        if (iconOf(r) >= 0) out.push_back(iconOf(r));
    return sortedUnique(out);
}

std::vector<RowMove> IconPairs::movesByOne(const std::vector<int>& rows, int delta) const {
    if (delta != -1 && delta != 1) return {};
    const int n = int(m_maskOf.size());
    // The units in list order: a pair or a single entry, each with whether it moves.
    struct Unit {
        int first, size;
        bool moving;
    };
    std::vector<char> chosen(size_t(n), 0);
    for (int r : rows)
        if (r >= 0 && r < n) chosen[size_t(r)] = 1;
    std::vector<Unit> units;
    for (int r = 0; r < n;) {
        const int size = maskOf(r) >= 0 ? 2 : 1;
        bool moving = false;
        for (int k = 0; k < size; ++k)
            moving = moving || chosen[size_t(r + k)];
        units.push_back({r, size, moving});
        r += size;
    }
    std::vector<RowMove> moves;
    auto rowsOf = [](const Unit& u) {
        std::vector<int> out;
        for (int k = 0; k < u.size; ++k)
            out.push_back(u.first + k);
        return out;
    };
    // As Alt+Up and Alt+Down move single entries: walk from the end the units move towards;
    // a moving unit passes an unmoving neighbour.
    const int count = int(units.size());
    const int first = delta < 0 ? 1 : count - 2;
    const int step = delta < 0 ? 1 : -1;
    for (int i = first; i >= 0 && i < count; i += step) {
        const int j = i + delta;
        Unit& a = units[size_t(i)];
        Unit& b = units[size_t(j)];
        if (!a.moving || b.moving) continue;
        if (delta < 0) {
            moves.push_back({rowsOf(a), b.first});
            a.first = b.first;
            b.first = a.first + a.size;
        } else {
            moves.push_back({rowsOf(a), b.first + b.size});
            b.first = a.first;
            a.first = b.first + b.size;
        }
        std::swap(a, b);
    }
    return moves;
}

int IconPairs::dropDestination(int destination) const {
    return isMask(destination) ? destination + 1 : destination;
}
