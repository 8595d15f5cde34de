// The conversion window: re-saves a list of pictures as Windows bitmap files.
#pragma once
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include "bmconv/pixels.h"

/// `Form3`. The caller fills List1 (folders, each ending with a separator), List2 (file
/// names), Text1 (target extension without dot) and Text2 (target folder ending with a
/// separator), shows the window and calls startconvert(). One tick of Timer1 later the
/// whole conversion runs; then the window hides and deletes itself, after emitting
/// finished() with the pictures that could not be converted. The target name of picture i
/// is its converted name (convertedName(List2(i), Text1)), unless the optional List3 holds
/// an item i, which then names the target file in Text2 instead.
class Form3 : public QWidget {
    Q_OBJECT
  public:
    explicit Form3(QWidget* parent = nullptr);

    /// Enables Timer1 and returns at once.
    void startconvert();
    /// The conversion itself (Timer1's tick).
    void startconvert_real();
    /// The progress as computed, (i + 1) / n * 100 in single precision.
    float progress() const { return m_progress; }
    /// Marks the targets as short-lived work copies (a save's bitmaps in temp): they are
    /// written straight, without the replace-by-rename and flush that protect a user's
    /// files. Off unless set.
    void setWorkCopies(bool on) { m_workCopies = on; }
    /// Picture `row` also gets its alpha file beside its target (a /c32a bitmap).
    void keepAlphaOf(int row) { m_alphaRows.insert(row); }
    /// Picture `row` is dithered to the colours of `mode` before it is written.
    void ditherRowTo(int row, bmconv::BitmapMode mode) { m_ditherRows.insert(row, mode); }

    QListWidget* List1;
    QListWidget* List2;
    /// Optional target file names, parallel to List2 (a save uses them for work names that
    /// must differ from the converted names).
    QListWidget* List3;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLabel* Picture1;
    QLabel* Label1;
    QProgressBar* ProgressBar1;
    QTimer* Timer1;

  signals:
    /// Emitted after each picture with the new progress value.
    void progressChanged(float value);
    /// Emitted when the conversion has ended, with one message per picture that could not
    /// be read or written (empty when all went well).
    void finished(const QStringList& failures);

  private:
    float m_progress = 0;
    bool m_workCopies = false;
    QSet<int> m_alphaRows;
    QHash<int, bmconv::BitmapMode> m_ditherRows;
};
