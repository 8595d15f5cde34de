// Dithering at the reduced depths: the error a person sees (mean CIEDE2000 between source and
// stored picture, both blurred by a Gaussian of sigma 1 pixel in linear light), dithered
// against undithered, for generated gradients, photos and skin backgrounds; our diffusion in
// linear light and in sRGB against Qt's DiffuseDither into the same colours; palette icons
// and masks; archive size; and the conversion's time with and without dithering.
#include "mbm/dither.h"
#include "mbm/picture_conversion.h"
#include "mbm/stored_preview.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <lcms2.h>
#include <vector>

using bmconv::BitmapMode;

namespace {

struct Mode {
    const char* name;
    BitmapMode mode;
};
const Mode kModes[] = {{"/1", BitmapMode::Grey1}, {"/2", BitmapMode::Grey2},
                       {"/4", BitmapMode::Grey4}, {"/8", BitmapMode::Grey8},
                       {"/c4", BitmapMode::C4},   {"/c8", BitmapMode::C8},
                       {"/c12", BitmapMode::C12}, {"/c16", BitmapMode::C16}};

uint32_t next(uint32_t& v) {
    v = v * 1664525u + 1013904223u;
    return v >> 8;
}

/// Smooth value noise: a random grid every `cell` pixels, interpolated.
std::vector<float> valueNoise(int w, int h, int cell, uint32_t seed) {
    const int gw = w / cell + 2, gh = h / cell + 2;
    std::vector<float> grid(size_t(gw * gh));
    for (float& g : grid)
        g = float(next(seed) % 1000) / 1000.0f - 0.5f;
    std::vector<float> out(size_t(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float fx = float(x) / cell, fy = float(y) / cell;
            const int ix = int(fx), iy = int(fy);
            const float tx = fx - ix, ty = fy - iy;
            auto at = [&](int i, int j) { return grid[size_t(j * gw + i)]; };
            out[size_t(y * w + x)] = (at(ix, iy) * (1 - tx) + at(ix + 1, iy) * tx) * (1 - ty) +
                                     (at(ix, iy + 1) * (1 - tx) + at(ix + 1, iy + 1) * tx) * ty;
        }
    return out;
}

int clamp255(float v) {
    return std::clamp(int(std::lround(v)), 0, 255);
}

QImage gradient(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y,
                         qRgb(255 * x / (w - 1), 64 + 128 * y / (h - 1), 255 - 200 * x / (w - 1)));
    return img;
}

QImage greyGradient(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = 255 * x / (w - 1);
            img.setPixel(x, y, qRgb(v, v, v));
        }
    return img;
}

/// Soft shapes under smooth light with a fine texture, like a photo's sky and faces.
QImage photo(int w, int h) {
    const std::vector<float> fine = valueNoise(w, h, 3, 7), coarse = valueNoise(w, h, 40, 11);
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float u = float(x) / w, v = float(y) / h;
            const float n = fine[size_t(y * w + x)] * 10, c = coarse[size_t(y * w + x)] * 60;
            const float d = std::hypot(u - 0.6f, v - 0.45f);
            const float blob = std::max(0.0f, 1 - d * 3) * 90;
            img.setPixel(x, y,
                         qRgb(clamp255(90 + 100 * u + blob + c + n),
                              clamp255(120 + 60 * v + blob * 0.7f + c * 0.8f + n),
                              clamp255(200 - 120 * v + blob * 0.4f + n)));
        }
    return img;
}

/// A skin background: wide low-contrast pastel shading with a soft glow.
QImage skin(int w, int h) {
    const std::vector<float> coarse = valueNoise(w, h, 60, 5);
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float d = std::hypot(float(x) / w - 0.3f, float(y) / h - 0.2f);
            const float glow = 30 * std::exp(-d * d * 6) + coarse[size_t(y * w + x)] * 12;
            img.setPixel(x, y,
                         qRgb(clamp255(196 + glow), clamp255(172 + glow * 0.9f),
                              clamp255(150 + glow * 0.6f)));
        }
    return img;
}

/// Flat blocks of colours the mode stores: an icon drawn in its palette.
QImage paletteIcon(BitmapMode mode, int w, int h) {
    const QList<QRgb> colours = storedColours(mode);
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, colours[((x / 8) * 7 + (y / 8) * 13) % colours.size()]);
    return img;
}

QImage mask(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y,
                         std::hypot(x - w / 2, y - h / 2) < w / 3 ? qRgb(0, 0, 0)
                                                                  : qRgb(255, 255, 255));
    return img;
}

double toLinear(int v) {
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double toSrgb(double l) {
    l = std::clamp(l, 0.0, 1.0);
    return l <= 0.0031308 ? 12.92 * l : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
}

/// The picture blurred by a Gaussian of sigma 1 in linear light, as sRGB values 0 to 1.
std::vector<float> blurred(const QImage& img) {
    const int w = img.width(), h = img.height(), r = 3;
    double k[2 * r + 1], sum = 0;
    for (int i = -r; i <= r; ++i)
        sum += k[i + r] = std::exp(-i * i / 2.0);
    for (double& v : k)
        v /= sum;
    std::vector<double> lin(size_t(w * h * 3)), tmp(lin.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb p = img.pixel(x, y);
            double* o = &lin[size_t(y * w + x) * 3];
            o[0] = toLinear(qRed(p)), o[1] = toLinear(qGreen(p)), o[2] = toLinear(qBlue(p));
        }
    auto pass = [&](const std::vector<double>& in, std::vector<double>& out, bool across) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) {
                    double s = 0;
                    for (int i = -r; i <= r; ++i) {
                        const int xx = across ? std::clamp(x + i, 0, w - 1) : x;
                        const int yy = across ? y : std::clamp(y + i, 0, h - 1);
                        s += k[i + r] * in[size_t(yy * w + xx) * 3 + size_t(c)];
                    }
                    out[size_t(y * w + x) * 3 + size_t(c)] = s;
                }
    };
    pass(lin, tmp, true);
    pass(tmp, lin, false);
    std::vector<float> out(lin.size());
    for (size_t i = 0; i < lin.size(); ++i)
        out[i] = float(toSrgb(lin[i]));
    return out;
}

/// Mean CIEDE2000 between the blurred pictures.
double seenError(const QImage& a, const QImage& b) {
    static cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    static cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    static cmsHTRANSFORM toLab =
        cmsCreateTransform(srgb, TYPE_RGB_FLT, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
    const std::vector<float> fa = blurred(a), fb = blurred(b);
    const size_t n = size_t(a.width() * a.height());
    std::vector<cmsCIELab> la(n), lb(n);
    cmsDoTransform(toLab, fa.data(), la.data(), cmsUInt32Number(n));
    cmsDoTransform(toLab, fb.data(), lb.data(), cmsUInt32Number(n));
    double sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += cmsCIE2000DeltaE(&la[i], &lb[i], 1, 1, 1);
    return sum / double(n);
}

ConvertedPicture pictureOf(const QImage& img) {
    ConvertedPicture p;
    p.source = img;
    p.pixels = img;
    return p;
}

/// The picture as a split gives it back, and its size in a file store.
QImage stored(const QImage& pixels, BitmapMode mode, qint64* bytes = nullptr) {
    EncodedBitmap e;
    if (!encodeBitmap(pictureOf(pixels), mode, e)) return {};
    if (bytes) *bytes = sizeInArchive(e, ArchiveType::FileStore).bitmapBytes;
    return expandBitmap(e);
}

/// Qt's own diffusion into the colours the mode stores (only for at most 256 colours).
QImage qtDithered(const QImage& pixels, BitmapMode mode) {
    const QList<QRgb> colours = storedColours(mode);
    if (colours.size() > 256) return {};
    return pixels.convertToFormat(QImage::Format_Indexed8, colours, Qt::DiffuseDither)
        .convertToFormat(QImage::Format_RGB32);
}

struct Picture {
    const char* name;
    QImage image;
};

void qualityTable(const std::vector<Picture>& pictures) {
    std::printf("Mean CIEDE2000 after a Gaussian blur of sigma 1 (linear light), per picture and "
                "switch; ratio = dithered / undithered (target <= 0.60 at /c8 /c12 /c16, < 1 "
                "elsewhere)\n");
    std::printf("%-9s %-5s %8s %8s %6s %8s %6s %8s %6s %8s\n", "picture", "mode", "plain", "linear",
                "ratio", "sRGB", "ratio", "Qt", "ratio", "size");
    for (const Picture& p : pictures)
        for (const Mode& m : kModes) {
            qint64 plainBytes = 0, ditherBytes = 0;
            const double plain = seenError(p.image, stored(p.image, m.mode, &plainBytes));
            const double lin =
                seenError(p.image, stored(ditheredPixels(p.image, m.mode, DiffusionSpace::Linear),
                                          m.mode, &ditherBytes));
            const double srgb = seenError(
                p.image, stored(ditheredPixels(p.image, m.mode, DiffusionSpace::Srgb), m.mode));
            const QImage qt = qtDithered(p.image, m.mode);
            const double qtError = qt.isNull() ? -1 : seenError(p.image, stored(qt, m.mode));
            std::printf("%-9s %-5s %8.3f %8.3f %6.2f %8.3f %6.2f ", p.name, m.name, plain, lin,
                        lin / plain, srgb, srgb / plain);
            if (qtError < 0)
                std::printf("%8s %6s ", "-", "-");
            else
                std::printf("%8.3f %6.2f ", qtError, qtError / plain);
            std::printf("%7.2fx\n", double(ditherBytes) / double(plainBytes));
        }
}

void unchangedTable() {
    std::printf("\nPictures the switch already holds: pixels changed by dithering (target 0)\n");
    const struct {
        const char* name;
        QImage image;
        BitmapMode mode;
    } cases[] = {{"c8 icon", paletteIcon(BitmapMode::C8, 64, 64), BitmapMode::C8},
                 {"c4 icon", paletteIcon(BitmapMode::C4, 64, 64), BitmapMode::C4},
                 {"c12 icon", paletteIcon(BitmapMode::C12, 64, 64), BitmapMode::C12},
                 {"1-bit mask", mask(64, 64), BitmapMode::Grey1}};
    for (const auto& c : cases) {
        const QImage d = ditheredPixels(c.image, c.mode);
        int changed = 0;
        for (int y = 0; y < d.height(); ++y)
            for (int x = 0; x < d.width(); ++x)
                changed += d.pixel(x, y) != c.image.pixel(x, y);
        std::printf("%-11s %d\n", c.name, changed);
    }
}

/// CPU time of the calling thread in milliseconds: the machine's other work left out.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

/// Median CPU time of `rounds` conversions of the picture file into a bitmap file, in ms.
double conversionMs(const QString& source, const QString& target, std::optional<BitmapMode> dither,
                    int rounds) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const double start = threadCpuMs();
        if (!convertPicture(source, target, WriteMode::Direct, false, dither)) return -1;
        times.push_back(threadCpuMs() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void timeTable(const std::vector<Picture>& pictures) {
    std::printf(
        "\nConversion of a picture file (JPEG) into the save's bitmap, median CPU ms; ratio = "
        "dithered / plain (target <= 2.0)\n");
    QTemporaryDir dir;
    for (const Picture& p : pictures) {
        const QString source = dir.filePath(QStringLiteral("%1.jpg").arg(QLatin1String(p.name)));
        p.image.save(source, "JPEG", 95);
        const QString target = dir.filePath(QStringLiteral("out.bmp"));
        for (BitmapMode m : {BitmapMode::C8, BitmapMode::C16, BitmapMode::C4}) {
            conversionMs(source, target, m, 2); // tables made, caches warm
            const double plain = conversionMs(source, target, std::nullopt, 9);
            const double dithered = conversionMs(source, target, m, 9);
            std::printf("%-9s %dx%d %-5s plain %7.2f dithered %7.2f ratio %5.2f\n", p.name,
                        p.image.width(), p.image.height(),
                        m == BitmapMode::C8    ? "/c8"
                        : m == BitmapMode::C16 ? "/c16"
                                               : "/c4",
                        plain, dithered, dithered / plain);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc > 2) {
        // bench_dither SOURCE STORED...: the seen error of pictures split from saved archives.
        const QImage source(QString::fromLocal8Bit(argv[1]));
        for (int i = 2; i < argc; ++i) {
            const QImage stored(QString::fromLocal8Bit(argv[i]));
            if (source.isNull() || stored.size() != source.size()) return 1;
            std::printf("%s: %.3f\n", argv[i], seenError(source, stored));
        }
        return 0;
    }
    qualityTable({{"gradient", gradient(256, 96)},
                  {"greyramp", greyGradient(256, 64)},
                  {"photo", photo(240, 180)},
                  {"skin", skin(240, 320)}});
    unchangedTable();
    timeTable({{"photo", photo(640, 480)}, {"skin", skin(240, 320)}});
    const QImage big = photo(640, 480);
    std::printf("\nThe diffusion alone, 640x480, CPU ms\n");
    for (const Mode& m : kModes) {
        ditheredPixels(big, m.mode);
        const double start = threadCpuMs();
        for (int i = 0; i < 10; ++i)
            ditheredPixels(big, m.mode);
        std::printf("%-5s %.2f\n", m.name, (threadCpuMs() - start) / 10);
    }
    return 0;
}
