// The error a person sees, simply: the mean difference of two pictures after both are
// blurred (a 3 x 3 binomial kernel, in linear light, as a screen's light mixes).
#pragma once
#include <QImage>
#include <algorithm>
#include <cmath>
#include <vector>

namespace blur_error {

inline std::vector<double> blurredLinear(const QImage& picture) {
    const QImage img = picture.convertToFormat(QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    auto linear = [](int v) {
        const double c = v / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    std::vector<double> out(size_t(w) * size_t(h) * 3, 0.0);
    const int k[3] = {1, 2, 1};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const QRgb p =
                        img.pixel(std::clamp(x + dx, 0, w - 1), std::clamp(y + dy, 0, h - 1));
                    const double weight = k[dx + 1] * k[dy + 1] / 16.0;
                    double* o = &out[(size_t(y) * size_t(w) + size_t(x)) * 3];
                    o[0] += weight * linear(qRed(p));
                    o[1] += weight * linear(qGreen(p));
                    o[2] += weight * linear(qBlue(p));
                }
    return out;
}

/// Mean absolute difference of the blurred pictures (same size), 0 to 1.
inline double blurredError(const QImage& a, const QImage& b) {
    const std::vector<double> x = blurredLinear(a), y = blurredLinear(b);
    double sum = 0;
    for (size_t i = 0; i < x.size(); ++i)
        sum += std::abs(x[i] - y[i]);
    return x.empty() ? 0 : sum / double(x.size());
}

} // namespace blur_error
