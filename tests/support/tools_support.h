// Helpers for the side tools' window tests: a main window on a fresh program folder.
#pragma once
#include "support/test_support.h"
#include "ui/form1.h"

#include <QTest>
#include <memory>

namespace testing_support {

/// Saves `image` as a GIF file (Qt reads GIF but cannot write it). Colours are reduced to
/// 3-3-2 bits; the LZW stream holds literal codes only, with a clear code often enough that
/// the code width stays at 9 bits.
inline bool saveGif(const QImage& image, const QString& path) {
    const int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0 || w > 0xffff || h > 0xffff) return false;
    QByteArray out("GIF89a");
    auto word = [&out](int v) { out += char(v & 0xff); out += char((v >> 8) & 0xff); };
    word(w);
    word(h);
    out += char(0xf7); // global colour table of 256 entries
    out += char(0);
    out += char(0);
    for (int i = 0; i < 256; ++i) {
        out += char((i >> 5) * 255 / 7);
        out += char(((i >> 2) & 7) * 255 / 7);
        out += char((i & 3) * 255 / 3);
    }
    out += ',';
    word(0);
    word(0);
    word(w);
    word(h);
    out += char(0);
    out += char(8); // minimum code size
    QByteArray codes;
    quint32 bits = 0;
    int nbits = 0;
    auto emitCode = [&](int code) {
        bits |= quint32(code) << nbits;
        nbits += 9;
        while (nbits >= 8) {
            codes += char(bits & 0xff);
            bits >>= 8;
            nbits -= 8;
        }
    };
    int sinceClear = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (sinceClear == 0) emitCode(256);
            const QRgb c = image.pixel(x, y);
            emitCode((qRed(c) >> 5) << 5 | (qGreen(c) >> 5) << 2 | (qBlue(c) >> 6));
            sinceClear = (sinceClear + 1) % 250;
        }
    emitCode(257);
    if (nbits > 0) codes += char(bits & 0xff);
    for (int i = 0; i < codes.size(); i += 255) {
        const QByteArray block = codes.mid(i, 255);
        out += char(block.size());
        out += block;
    }
    out += char(0);
    out += ';';
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(out) == out.size();
}

/// A main window on a program folder of its own (without bmconv.exe and batchrun, which
/// the side tools do not use), with scripted dialogs.
struct ToolsFixture : ::testing::Test {
    TempProgramFolder program{false, false};
    ScriptedInteraction ui;
    std::unique_ptr<Form1> main = std::make_unique<Form1>(program.folder(), ui);

    /// Secondary window n as its class, or null.
    template <typename W>
    W* form(int n) {
        return qobject_cast<W*>(main->form(n));
    }
    /// Waits until secondary window n is gone (it unloads itself after closing).
    bool waitGone(int n) {
        return QTest::qWaitFor([&] { return main->form(n) == nullptr; }, 5000);
    }
};

} // namespace testing_support
