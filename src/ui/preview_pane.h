// The preview frame's behaviour: which picture it shows, as read or as stored, at which
// zoom, and the facts line about it.
#pragma once
#include "mbm/phone_view.h"
#include "mbm/picture_conversion.h"
#include "mbm/picture_facts.h"
#include "project/archive_type.h"
#include "ui/preview.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <memory>

class QGroupBox;
class QLabel;
class ZoomView;

/// What the preview is asked to show: a picture file, the switch it will be stored with and,
/// for a Bitmap entry, its row and where it came from.
struct PreviewSubject {
    QString path;
    QString colourSwitch;
    EntryOrigin origin = {};
    int row = -1; ///< the Project list row, -1 for a picture of the file list
    /// For an icon followed by its mask: the mask's picture file and switch.
    QString maskPath;
    QString maskSwitch;
};

/// Runs the preview inside `frame`: the fitted picture in `image` (the frame's picture
/// control), the zoomed one in a scrollable view, the facts in the frame's caption row and
/// as the tooltip of all three. The zoom and Show as stored stay when the subject changes.
class PreviewPane : public QObject {
    Q_OBJECT
  public:
    PreviewPane(QGroupBox* frame, QLabel* image, QObject* parent = nullptr);

    /// Reads the subject's picture anew and shows it. A picture that cannot be read leaves
    /// the picture area empty, the reason in the facts line, and gives false.
    bool show(const PreviewSubject& subject);
    /// Stores the shown picture with another switch (the entry's or the list's changed).
    void setSwitch(const QString& colourSwitch);

    /// Shows the picture as the archive will hold it (true) or as its file holds it.
    void setShowAsStored(bool on);
    bool showAsStored() const { return m_asStored; }
    /// Shows the picture as read and as stored together (sideBySide), at one zoom.
    void setCompare(bool on);
    bool compare() const { return m_compare; }
    /// Stores the picture dithered, as a save with dithering on writes it.
    void setDither(bool on);

    void zoomIn();
    void zoomOut();
    void fit();
    /// kZoomFit, or the factor 1 to 16.
    int zoom() const { return m_zoom; }

    /// What an icon with its mask is drawn over as stored, and how a 1-bit mask is read.
    void setBackdrop(Backdrop backdrop);
    void setWhiteWhereDrawn(bool on);

    /// The archive type the next save builds; the stored size follows it.
    void setArchiveType(ArchiveType type);

    const PreviewSubject& subject() const { return m_subject; }
    /// The facts of the shown picture (meaningful when hasPicture()); the stored size comes
    /// a moment later than the rest (facts().sizePending until then).
    const PictureFacts& facts() const { return m_facts; }
    bool hasPicture() const { return !m_picture.source.isNull(); }
    /// The picture on show at its own size: as stored, as read, or both when comparing (null
    /// when none).
    QImage shownImage() const;

    QLabel* factsLabel() const { return m_factsLabel; }
    ZoomView* zoomView() const { return m_zoomView; }

  signals:
    /// The zoom changed (the View menu follows it).
    void zoomChanged(int zoom);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    /// Works out everything that depends on the switch and the archive type anew.
    void recompute();
    /// Encodes the picture and expands it as stored, for Show as stored.
    void makeStoredImage();
    /// For an icon with its mask: the stored icon blended through its stored mask.
    void blendWithMask();
    /// Starts working out the stored size on the pane's worker thread.
    void startSizeJob();
    void sizeReady(int generation, const StoredSize& size, const QString& problem);
    void display();
    void updateFacts();
    void setFacts(const QString& line, const QString& tooltip);
    /// Puts the facts line into the caption row, shortened to fit it.
    void showFactsText();
    void placeFactsLabel();
    void setZoom(int zoom);

    QGroupBox* m_frame;
    QLabel* m_image;
    QLabel* m_factsLabel;
    ZoomView* m_zoomView;
    PreviewSubject m_subject;
    ConvertedPicture m_picture; ///< as read from its file and as the save converts it
    std::shared_ptr<const EncodedBitmap> m_encoded; ///< at the subject's switch, when made
    QImage m_storedImage;                           ///< as a split gives it back, when made
    PictureFacts m_facts;
    QString m_factsText;
    ArchiveType m_type = ArchiveType::FileStore;
    bool m_asStored = false;
    Backdrop m_backdrop = Backdrop::Checkerboard;
    bool m_whiteWhereDrawn = false;
    QImage m_maskAlpha; ///< the subject's stored mask as alpha, when made
    bool m_compare = false;
    bool m_dither = false;
    int m_zoom = kZoomFit;
    /// Counts the changes of picture, switch and type; the worker reads it too.
    std::atomic<int> m_generation{0};
    QThreadPool m_worker; ///< last: waits for a running job before the rest goes
};
