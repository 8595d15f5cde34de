// The error a person sees, simply: the mean difference of two pictures of one size after
// both are blurred (a 3 x 3 binomial kernel, in linear light, as a screen's light mixes).
#pragma once
#include <QImage>
#include <algorithm>
#include <cmath>

namespace blur_error {

inline double blurredError(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32),
                 y = b.convertToFormat(QImage::Format_RGB32);
    auto linear = [](int v) {
        return v <= 10 ? v / 3294.6 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4);
    };
    const int w = x.width(), h = x.height(), k[3] = {1, 2, 1};
    double sum = 0;
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px)
            for (int c = 0; c < 3; ++c) {
                double d = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const QPoint at(std::clamp(px + dx, 0, w - 1),
                                        std::clamp(py + dy, 0, h - 1));
                        const int shift = 16 - 8 * c; // red, green, blue
                        d += k[dx + 1] * k[dy + 1] / 16.0 *
                             (linear((x.pixel(at) >> shift) & 255) -
                              linear((y.pixel(at) >> shift) & 255));
                    }
                sum += std::abs(d);
            }
    return w > 0 && h > 0 ? sum / (3.0 * w * h) : 0;
}

} // namespace blur_error
