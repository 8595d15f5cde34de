// Layout lengths are given in twips: 15 twips make one pixel at 96 dots per inch.
#pragma once
#include <QRect>
#include <QWidget>

constexpr int kTwipsPerPixel = 15;

inline int px(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

/// Places `w` at left, top, width, height given in twips, relative to its parent.
inline void placeTw(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(px(left), px(top), px(width), px(height));
}
