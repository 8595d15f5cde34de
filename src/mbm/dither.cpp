#include "mbm/dither.h"

#include "mbm/stored_preview.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <vector>

#include "bmconv/pixels.h"

using bmconv::BitmapMode;

bool reducesColours(BitmapMode mode) {
    return mode != BitmapMode::C24 && mode != BitmapMode::C32 && mode != BitmapMode::C32A;
}

std::optional<BitmapMode> ditherModeOf(const QString& colourSwitch) {
    const std::optional<BitmapMode> mode = modeOfSwitch(colourSwitch);
    if (mode && reducesColours(*mode)) return mode;
    return std::nullopt;
}

namespace {

enum class Kind { Grey, Channels, Palette, None };

Kind kindOf(BitmapMode mode) {
    switch (mode) {
    case BitmapMode::Grey1:
    case BitmapMode::Grey2:
    case BitmapMode::Grey4:
    case BitmapMode::Grey8:
        return Kind::Grey;
    case BitmapMode::C12:
    case BitmapMode::C16:
        return Kind::Channels;
    case BitmapMode::C4:
    case BitmapMode::C8:
        return Kind::Palette;
    default:
        return Kind::None;
    }
}

/// What the converter stores of `count` pixels of R, G, B bytes at `mode`, as a split
/// gives it back: its own encoding, then its own expansion.
void storedRow(BitmapMode mode, const uint8_t* rgb, size_t count, std::vector<uint8_t>& encoded,
               std::vector<uint8_t>& bgr) {
    const bmconv::ModeTraits traits = bmconv::traitsOf(mode);
    encoded.resize(size_t(bmconv::strideFor(traits.bpp, count)));
    bgr.resize(count * 3);
    bmconv::encodeRows(mode, rgb, 0, bmconv::PixelOrder::Rgb, uint32_t(count), 1, encoded.data(),
                       nullptr, nullptr, 0);
    bmconv::RowExpander(traits.bpp, uint32_t(traits.colour))
        .expand(encoded.data(), count, bgr.data(), nullptr);
}

std::vector<QRgb> storedBy(BitmapMode mode, const std::vector<QRgb>& colours) {
    std::vector<uint8_t> rgb;
    rgb.reserve(colours.size() * 3);
    for (QRgb c : colours)
        rgb.insert(rgb.end(), {uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))});
    std::vector<uint8_t> encoded, bgr;
    storedRow(mode, rgb.data(), colours.size(), encoded, bgr);
    std::vector<QRgb> out(colours.size());
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = qRgb(bgr[3 * i + 2], bgr[3 * i + 1], bgr[3 * i]);
    return out;
}

/// The colours of `stored` that the converter maps to themselves, each once, in order.
std::vector<QRgb> fixedPoints(BitmapMode mode, std::vector<QRgb> stored) {
    std::sort(stored.begin(), stored.end());
    stored.erase(std::unique(stored.begin(), stored.end()), stored.end());
    const std::vector<QRgb> again = storedBy(mode, stored);
    std::vector<QRgb> out;
    for (size_t i = 0; i < stored.size(); ++i)
        if (again[i] == stored[i]) out.push_back(stored[i]);
    return out;
}

std::vector<QRgb> probeColours(BitmapMode mode) {
    std::vector<QRgb> probes;
    if (kindOf(mode) == Kind::Palette) {
        // Every 17th level reaches every bucket of both palette tables.
        for (int r = 0; r < 16; ++r)
            for (int g = 0; g < 16; ++g)
                for (int b = 0; b < 16; ++b)
                    probes.push_back(qRgb(17 * r, 17 * g, 17 * b));
    } else {
        for (int v = 0; v < 256; ++v)
            probes.insert(probes.end(),
                          {qRgb(v, v, v), qRgb(v, 0, 0), qRgb(0, v, 0), qRgb(0, 0, v)});
    }
    return probes;
}

std::vector<QRgb> targetColours(BitmapMode mode) {
    if (kindOf(mode) == Kind::None) return {};
    return fixedPoints(mode, storedBy(mode, probeColours(mode)));
}

/// Working values are fixed point: 0 to kOne.
constexpr int kOne = 65535;
constexpr int kLevelShift = 4; ///< a working value's step in the nearest-level tables
constexpr int kCubeShift = 3;  ///< an sRGB value's cell in the nearest-colour table
constexpr int kCube = 256 >> kCubeShift;

using WorkTable = std::array<int32_t, 256>;

/// The three working values of a colour pixel in one register (the fourth lane unused).
typedef int32_t Lanes __attribute__((vector_size(16)));

const WorkTable& workTable(DiffusionSpace space) {
    static const WorkTable tables[2] = {
        [] {
            WorkTable t{};
            for (int i = 0; i < 256; ++i)
                t[size_t(i)] = i * 257;
            return t;
        }(),
        [] {
            WorkTable t{};
            for (int i = 0; i < 256; ++i) {
                const double c = i / 255.0;
                const double l = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
                t[size_t(i)] = int32_t(std::lround(l * kOne));
            }
            return t;
        }()};
    return tables[space == DiffusionSpace::Linear ? 1 : 0];
}

/// The stored colours of one mode in one working space, with tables for the nearest one.
struct Targets {
    Kind kind = Kind::None;
    /// Grey: channel 0 holds the grey levels; channels: each channel its levels. Per step of
    /// a working value the nearest level (its 8-bit value) and its working value.
    std::vector<uint8_t> levels[3];
    std::vector<uint8_t> nearestLevel[3];
    std::vector<int32_t> nearestWork[3];
    /// Palette: the colours, their working values and the nearest one per cube cell.
    std::vector<QRgb> colours;
    std::vector<Lanes> colourWork;
    std::vector<uint8_t> nearestColour;
    /// Per step of a working value, what its red, green and blue add to the index of its
    /// cell: the cells are even in sRGB, as the palettes are, whatever space the diffusion
    /// works in.
    std::vector<uint16_t> cellPart[3];
};

void addLevels(Targets& t, int channel, std::vector<uint8_t> levels, const WorkTable& work) {
    std::sort(levels.begin(), levels.end());
    levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
    constexpr int steps = (kOne >> kLevelShift) + 1;
    auto& nearest = t.nearestLevel[channel];
    auto& nearestWork = t.nearestWork[channel];
    nearest.resize(steps);
    nearestWork.resize(steps);
    size_t k = 0;
    for (int s = 0; s < steps; ++s) {
        const int v = (s << kLevelShift) + (1 << kLevelShift) / 2;
        auto gap = [&](size_t i) { return std::abs(work[levels[i]] - v); };
        while (k + 1 < levels.size() && gap(k + 1) <= gap(k))
            ++k;
        nearest[size_t(s)] = levels[k];
        nearestWork[size_t(s)] = work[levels[k]];
    }
    t.levels[channel] = std::move(levels);
}

Targets makeTargets(BitmapMode mode, const WorkTable& work) {
    Targets t;
    t.kind = kindOf(mode);
    const std::vector<QRgb> colours = targetColours(mode);
    if (t.kind == Kind::Grey) {
        std::vector<uint8_t> greys;
        for (QRgb c : colours)
            if (qRed(c) == qGreen(c) && qGreen(c) == qBlue(c)) greys.push_back(uint8_t(qRed(c)));
        addLevels(t, 0, greys, work);
    } else if (t.kind == Kind::Channels) {
        // The channels are stored independently of each other: a colour is three levels.
        std::vector<uint8_t> r, g, b;
        for (QRgb c : colours) {
            r.push_back(uint8_t(qRed(c)));
            g.push_back(uint8_t(qGreen(c)));
            b.push_back(uint8_t(qBlue(c)));
        }
        addLevels(t, 0, r, work);
        addLevels(t, 1, g, work);
        addLevels(t, 2, b, work);
    } else if (t.kind == Kind::Palette) {
        t.colours = colours;
        for (QRgb c : colours)
            t.colourWork.push_back(
                Lanes{work[size_t(qRed(c))], work[size_t(qGreen(c))], work[size_t(qBlue(c))], 0});
        t.nearestColour.resize(size_t(kCube) * kCube * kCube);
        constexpr int steps = (kOne >> kLevelShift) + 1;
        for (auto& part : t.cellPart)
            part.resize(steps);
        for (int st = 0, b = 0; st < steps; ++st) {
            const int v = (st << kLevelShift) + (1 << kLevelShift) / 2;
            while (b < 255 && std::abs(work[size_t(b + 1)] - v) <= std::abs(work[size_t(b)] - v))
                ++b;
            const int cell = b >> kCubeShift;
            t.cellPart[0][size_t(st)] = uint16_t(cell * kCube * kCube);
            t.cellPart[1][size_t(st)] = uint16_t(cell * kCube);
            t.cellPart[2][size_t(st)] = uint16_t(cell);
        }
        auto centre = [](int cell) { return double((cell << kCubeShift) + (1 << kCubeShift) / 2); };
        for (int i = 0; i < kCube * kCube * kCube; ++i) {
            const double v[3] = {centre(i / (kCube * kCube)), centre(i / kCube % kCube),
                                 centre(i % kCube)};
            size_t best = 0;
            double bestDistance = 1e30;
            for (size_t k = 0; k < t.colours.size(); ++k) {
                const QRgb c = t.colours[k];
                const double d = (qRed(c) - v[0]) * (qRed(c) - v[0]) +
                                 (qGreen(c) - v[1]) * (qGreen(c) - v[1]) +
                                 (qBlue(c) - v[2]) * (qBlue(c) - v[2]);
                if (d < bestDistance) bestDistance = d, best = k;
            }
            t.nearestColour[size_t(i)] = uint8_t(best);
        }
    }
    return t;
}

constexpr int kModes = int(BitmapMode::C32A) + 1;

const Targets& targetsOf(BitmapMode mode, DiffusionSpace space) {
    static std::once_flag once[kModes][2];
    static Targets targets[kModes][2];
    const int m = int(mode), s = space == DiffusionSpace::Linear ? 1 : 0;
    std::call_once(once[m][s], [&] { targets[m][s] = makeTargets(mode, workTable(space)); });
    return targets[m][s];
}

bool allGrey(const QImage& pixels) {
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            if (qRed(line[x]) != qGreen(line[x]) || qGreen(line[x]) != qBlue(line[x])) return false;
    }
    return true;
}

inline int32_t clampWork(int32_t v) {
    return std::min(std::max(v, 0), kOne);
}
inline Lanes clampWork(Lanes v) {
    const Lanes zero = {0, 0, 0, 0}, one = {kOne, kOne, kOne, kOne};
    v = v < zero ? zero : v;
    return v > one ? one : v;
}

/// Where one row of the diffusion reads, writes and keeps its errors. `cur` holds the errors
/// that reach the row, `next` receives those for the row below (both one pixel of margin
/// either side); the errors for the pixel ahead and for the row below stay here until they
/// are final.
template <class V> struct RowRun {
    const QRgb* src;
    QRgb* dst;
    const V* cur;
    V* next;
    V ahead = {}, behindBelow = {}, below = {};
};

/// Floyd–Steinberg at pixel x of a row run in direction Dir.
template <class V, int Dir, class Read, class Pick>
inline void diffusePixel(RowRun<V>& r, int x, const Read& read, const Pick& pick) {
    const V v = clampWork(read(r.src[x]) + r.cur[x + 1] + r.ahead);
    V got;
    r.dst[x] = pick(v, got);
    // The four shares add up to the whole error, none of it lost to rounding.
    const V err = v - got;
    const V e7 = ((err << 3) - err) >> 4, e3 = ((err << 1) + err) >> 4,
            e5 = ((err << 2) + err) >> 4;
    r.ahead = e7;
    r.next[x + 1 - Dir] = r.behindBelow + e3;
    r.behindBelow = r.below + e5;
    r.below = err - e7 - e3 - e5;
}

/// One row of each of `count` (1 or 2) runs, pixel by pixel in step: the two chains of
/// errors are independent, so the processor works on both at once.
template <class V, int Dir, class Read, class Pick>
inline void diffuseRows(RowRun<V>* runs, int count, int w, const Read& read, const Pick& pick) {
    for (int i = 0; i < w; ++i) {
        const int x = Dir > 0 ? i : w - 1 - i;
        diffusePixel<V, Dir>(runs[0], x, read, pick);
        if (count > 1) diffusePixel<V, Dir>(runs[1], x, read, pick);
    }
    for (int k = 0; k < count && w > 0; ++k)
        runs[k].next[Dir > 0 ? w : 1] = runs[k].behindBelow;
}

/// Serpentine Floyd–Steinberg over the upper and the lower half of the picture, side by
/// side (always split so, whatever the machine, so a save and the preview agree). `read`
/// gives a pixel's working values, `pick` replaces them by the nearest stored ones and
/// gives that colour.
template <class V, class Read, class Pick> QImage diffuse(QImage image, Read read, Pick pick) {
    const int w = image.width(), h = image.height(), half = (h + 1) / 2;
    // Each pixel is read once, just before its place takes the stored colour: the picture
    // is dithered where it lies (a copy only when it is shared).
    if (!image.bits()) return {};
    std::vector<V> errors[2][2];
    for (auto& band : errors)
        for (auto& row : band)
            row.assign(size_t(w + 2), V{});
    for (int y = 0; y < half; ++y) {
        RowRun<V> runs[2];
        int count = 0;
        for (int band = 0; band < 2; ++band) {
            const int row = band * half + y;
            if (row >= h) continue;
            auto& e = errors[band];
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
            runs[count++] = {line, line, e[y % 2].data(), e[(y + 1) % 2].data()};
        }
        if (y % 2 == 0)
            diffuseRows<V, 1>(runs, count, w, read, pick);
        else
            diffuseRows<V, -1>(runs, count, w, read, pick);
    }
    return image;
}

} // namespace

QList<QRgb> storedColours(BitmapMode mode) {
    QList<QRgb> out;
    if (kindOf(mode) != Kind::Channels) {
        const std::vector<QRgb> colours = targetColours(mode);
        out = QList<QRgb>(colours.begin(), colours.end());
    } else {
        const Targets& t = targetsOf(mode, DiffusionSpace::Srgb);
        for (uint8_t r : t.levels[0])
            for (uint8_t g : t.levels[1])
                for (uint8_t b : t.levels[2])
                    out << qRgb(r, g, b);
    }
    return out;
}

bool heldExactly(const QImage& pixels, BitmapMode mode) {
    const QImage rgb32 = pixels.convertToFormat(QImage::Format_RGB32);
    std::vector<uint8_t> rgb(size_t(rgb32.width()) * 3), encoded, bgr;
    for (int y = 0; y < rgb32.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb32.constScanLine(y));
        for (int x = 0; x < rgb32.width(); ++x) {
            rgb[size_t(x) * 3] = uint8_t(qRed(line[x]));
            rgb[size_t(x) * 3 + 1] = uint8_t(qGreen(line[x]));
            rgb[size_t(x) * 3 + 2] = uint8_t(qBlue(line[x]));
        }
        storedRow(mode, rgb.data(), size_t(rgb32.width()), encoded, bgr);
        for (int x = 0; x < rgb32.width(); ++x)
            if (bgr[size_t(x) * 3] != rgb[size_t(x) * 3 + 2] ||
                bgr[size_t(x) * 3 + 1] != rgb[size_t(x) * 3 + 1] ||
                bgr[size_t(x) * 3 + 2] != rgb[size_t(x) * 3])
                return false;
    }
    return true;
}

QImage ditheredPixels(QImage pixels, BitmapMode mode, DiffusionSpace space) {
    const Kind kind = kindOf(mode);
    if (kind == Kind::None || pixels.isNull()) return pixels;
    QImage in = pixels.format() == QImage::Format_RGB32
                    ? pixels
                    : pixels.convertToFormat(QImage::Format_RGB32);
    if (in.isNull()) return in;
    if (heldExactly(in, mode)) return pixels;
    if ((mode == BitmapMode::Grey1 || mode == BitmapMode::Grey8) && allGrey(in)) return pixels;
    pixels = QImage(); // so that `in` alone may hold the picture, to be dithered in place
    const Targets& t = targetsOf(mode, space);
    const WorkTable& work = workTable(space);
    auto rgb = [&work](QRgb p) {
        return Lanes{work[size_t(qRed(p))], work[size_t(qGreen(p))], work[size_t(qBlue(p))], 0};
    };
    if (kind == Kind::Grey) {
        // The converter's own weights: Y = (2R + 5G + B) / 8.
        auto luma = [&work](QRgb p) {
            return (2 * work[size_t(qRed(p))] + 5 * work[size_t(qGreen(p))] +
                    work[size_t(qBlue(p))]) >>
                   3;
        };
        return diffuse<int32_t>(std::move(in), luma, [&t](int32_t want, int32_t& got) {
            const size_t s = size_t(want >> kLevelShift);
            got = t.nearestWork[0][s];
            const int g = t.nearestLevel[0][s];
            return qRgb(g, g, g);
        });
    }
    if (kind == Kind::Channels) {
        return diffuse<Lanes>(std::move(in), rgb, [&t](Lanes want, Lanes& got) {
            const Lanes s = want >> kLevelShift;
            got = Lanes{t.nearestWork[0][size_t(s[0])], t.nearestWork[1][size_t(s[1])],
                        t.nearestWork[2][size_t(s[2])], 0};
            return qRgb(t.nearestLevel[0][size_t(s[0])], t.nearestLevel[1][size_t(s[1])],
                        t.nearestLevel[2][size_t(s[2])]);
        });
    }
    return diffuse<Lanes>(std::move(in), rgb, [&t](Lanes want, Lanes& got) {
        const Lanes st = want >> kLevelShift;
        const size_t k =
            t.nearestColour[size_t(t.cellPart[0][size_t(st[0])] + t.cellPart[1][size_t(st[1])] +
                                   t.cellPart[2][size_t(st[2])])];
        got = t.colourWork[k];
        return t.colours[k];
    });
}
