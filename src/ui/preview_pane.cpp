#include "ui/preview_pane.h"

#include "mbm/picture_conversion.h"
#include "ui/compare_image.h"
#include "ui/preview.h"
#include "ui/twips.h"
#include "ui/zoom_view.h"

#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QWheelEvent>
#include <cmath>

PreviewPane::PreviewPane(QGroupBox* frame, QLabel* image, QObject* parent)
    : QObject(parent), m_frame(frame), m_image(image) {
    m_factsLabel = new QLabel(frame);
    m_factsLabel->setObjectName(QStringLiteral("PreviewFacts"));
    m_factsLabel->setTextFormat(Qt::PlainText);
    m_zoomView = new ZoomView(frame);
    m_zoomView->setObjectName(QStringLiteral("PreviewZoom"));
    m_zoomView->hide();
    placeFactsLabel();
    connect(m_zoomView, &ZoomView::zoomRequested, this,
            [this](int step) { step > 0 ? zoomIn() : zoomOut(); });
    frame->installEventFilter(this);
    image->installEventFilter(this);
    m_worker.setMaxThreadCount(1);
}

static bool takesAlpha(const QString& colourSwitch) {
    return modeOfSwitch(colourSwitch) == bmconv::BitmapMode::C32A;
}

bool PreviewPane::show(const PreviewSubject& subject) {
    m_subject = subject;
    m_facts = {};
    m_picture = {};
    m_image->hide();
    m_image->clear();
    m_zoomView->hide();
    m_zoomView->clear();
    if (subject.path.isEmpty()) {
        recompute();
        setFacts({}, {});
        return false;
    }
    m_picture = convertedImage(subject.path, takesAlpha(subject.colourSwitch));
    if (!hasPicture()) {
        const QString problem = m_picture.error;
        recompute();
        setFacts(problem, problem);
        return false;
    }
    QByteArray head;
    QFile file(subject.path);
    if (file.open(QIODevice::ReadOnly)) head = file.read(kFactsHeadBytes);
    m_facts.size = m_picture.source.size();
    m_facts.source = sourceDescription(m_picture.format, head, m_picture.source);
    m_facts.origin = subject.origin;
    m_maskAlpha = QImage();
    recompute();
    return true;
}

void PreviewPane::setSwitch(const QString& colourSwitch) {
    m_subject.colourSwitch = colourSwitch;
    if (hasPicture()) recompute();
}

void PreviewPane::setShowAsStored(bool on) {
    m_asStored = on;
    if (!hasPicture()) return;
    if (on && m_storedImage.isNull()) makeStoredImage();
    display();
}

void PreviewPane::setCompare(bool on) {
    m_compare = on;
    if (!hasPicture()) return;
    if (on && m_storedImage.isNull()) makeStoredImage();
    display();
}

void PreviewPane::setDither(bool on) {
    m_dither = on;
    if (hasPicture()) recompute();
}

void PreviewPane::setArchiveType(ArchiveType type) {
    m_type = type;
    if (hasPicture()) recompute();
}

void PreviewPane::recompute() {
    ++m_generation;
    m_encoded.reset();
    m_storedImage = QImage();
    m_facts.colourSwitch = m_subject.colourSwitch;
    m_facts.archiveType = m_type;
    m_facts.stored = {};
    m_facts.storeProblem.clear();
    m_facts.sizePending = false;
    if (!hasPicture()) return;
    m_facts.transparency =
        transparencyText(m_picture.source, m_facts.colourSwitch, m_subject.maskSwitch);
    // A /c32a bitmap takes its alpha values from the conversion too; without /c32a a failure
    // to find them no longer matters.
    const bool alpha = takesAlpha(m_facts.colourSwitch);
    if ((alpha && m_picture.alpha.isNull()) || (!alpha && !m_picture.ok())) {
        ConvertedPicture again = convertedImage(m_subject.path, alpha);
        if (again.source.isNull())
            m_picture.error = again.error; // the file has gone: what is on show stays
        else
            m_picture = std::move(again);
    }
    if (!modeOfSwitch(m_facts.colourSwitch)) {
        m_facts.storeProblem =
            QStringLiteral("%1 is not a colour switch: the picture cannot be stored")
                .arg(m_facts.colourSwitch);
    } else if (!m_picture.ok()) {
        m_facts.storeProblem = m_picture.error;
    } else if (m_asStored || m_compare) {
        // The picture first; the size job then takes the encoding made for it.
        makeStoredImage();
    }
    display();
    if (m_facts.storeProblem.isEmpty()) startSizeJob();
    updateFacts();
}

void PreviewPane::makeStoredImage() {
    const std::optional<bmconv::BitmapMode> mode = modeOfSwitch(m_facts.colourSwitch);
    if (!mode || !m_facts.storeProblem.isEmpty()) return;
    if (!m_encoded) {
        auto encoded = std::make_shared<EncodedBitmap>();
        if (Status s = encodeBitmap(m_picture, *mode, *encoded, m_dither); !s) {
            m_facts.storeProblem = s.error;
            m_facts.sizePending = false;
            updateFacts();
            return;
        }
        m_encoded = std::move(encoded);
    }
    m_storedImage = expandBitmap(*m_encoded);
    if (m_storedImage.isNull()) {
        m_facts.storeProblem = QStringLiteral("Not enough memory to show the picture as stored.");
        updateFacts();
        return;
    }
    blendWithMask();
}

void PreviewPane::blendWithMask() {
    if (m_subject.maskPath.isEmpty()) return;
    if (m_maskAlpha.isNull()) {
        QImage mask;
        // A mask that cannot be stored leaves the icon as it is stored; its facts say why.
        if (Status s = storedPicture(m_subject.maskPath, m_subject.maskSwitch, mask); !s) {
            m_facts.storeProblem = s.error;
            return;
        }
        m_maskAlpha = maskAlpha(mask, m_subject.maskSwitch, m_whiteWhereDrawn);
    }
    const QImage blended = blendOver(m_storedImage, m_maskAlpha, m_backdrop);
    if (!blended.isNull()) m_storedImage = blended;
}

void PreviewPane::setBackdrop(Backdrop backdrop) {
    m_backdrop = backdrop;
    if (hasPicture() && m_asStored && !m_subject.maskPath.isEmpty()) {
        makeStoredImage();
        display();
    }
}

void PreviewPane::setWhiteWhereDrawn(bool on) {
    if (on == m_whiteWhereDrawn) return;
    m_whiteWhereDrawn = on;
    m_maskAlpha = QImage();
    if (hasPicture() && m_asStored && !m_subject.maskPath.isEmpty()) {
        makeStoredImage();
        display();
    }
}

void PreviewPane::startSizeJob() {
    const std::optional<bmconv::BitmapMode> mode = modeOfSwitch(m_facts.colourSwitch);
    if (!mode) return;
    m_facts.sizePending = true;
    const int generation = m_generation;
    const std::shared_ptr<const EncodedBitmap> encoded = m_encoded;
    const ConvertedPicture picture = encoded ? ConvertedPicture() : m_picture;
    const ArchiveType type = m_type;
    const bmconv::BitmapMode m = *mode;
    const bool dither = m_dither;
    m_worker.start([this, generation, encoded, picture, type, m, dither] {
        // A job overtaken by another click is not worth its time.
        if (generation != m_generation.load()) return;
        StoredSize size;
        QString problem;
        if (encoded) {
            size = sizeInArchive(*encoded, type);
        } else {
            EncodedBitmap own;
            if (Status s = encodeBitmap(picture, m, own, dither); !s)
                problem = s.error;
            else
                size = sizeInArchive(own, type);
        }
        QMetaObject::invokeMethod(
            this, [this, generation, size, problem] { sizeReady(generation, size, problem); },
            Qt::QueuedConnection);
    });
}

void PreviewPane::sizeReady(int generation, const StoredSize& size, const QString& problem) {
    if (generation != m_generation) return;
    m_facts.sizePending = false;
    m_facts.stored = size;
    if (!problem.isEmpty()) m_facts.storeProblem = problem;
    updateFacts();
}

void PreviewPane::updateFacts() {
    if (hasPicture()) setFacts(factsLine(m_facts), factsTooltip(m_facts));
}

QImage PreviewPane::shownImage() const {
    // Without a stored picture to compare with, the source alone.
    if (m_compare)
        return m_storedImage.isNull() ? m_picture.source
                                      : sideBySide(m_picture.source, m_storedImage);
    return m_asStored ? m_storedImage : m_picture.source;
}

/// The usable area of the frame in pixels: 100 twips in from the sides, 200 from the top
/// and the bottom.
static QRect usableArea(const QSize& frame) {
    auto pixels = [](float twips) { return int(std::lround(twips / float(kTwipsPerPixel))); };
    const float a = float(frame.width() * kTwipsPerPixel) - kPreviewMarginX;
    const float b = float(frame.height() * kTwipsPerPixel) - kPreviewMarginY;
    return QRect(pixels(kPreviewMarginX / 2), pixels(kPreviewMarginY / 2), pixels(a), pixels(b));
}

void PreviewPane::display() {
    const QImage shown = shownImage();
    m_image->hide();
    m_image->clear();
    if (shown.isNull() || m_zoom == kZoomFit) {
        m_zoomView->hide();
        m_zoomView->clear();
        showImageIn(m_frame, m_image, shown);
        return;
    }
    // Inside the frame's border as well, so the scroll bars never cover it.
    const QRect area = usableArea(m_frame->size()) & m_frame->contentsRect();
    m_zoomView->setGeometry(area);
    const QRect placed = previewRect(m_frame->size(), shown.size(), m_zoom);
    m_zoomView->setPicture(shown, m_zoom, placed.topLeft() - area.topLeft());
    m_zoomView->show();
}

void PreviewPane::zoomIn() {
    const QImage shown = shownImage();
    const bool shrinks =
        !shown.isNull() &&
        previewRect(m_frame->size(), shown.size(), kZoomFit).size() != shown.size();
    setZoom(zoomedIn(m_zoom, shrinks));
}

void PreviewPane::zoomOut() {
    setZoom(zoomedOut(m_zoom));
}

void PreviewPane::fit() {
    setZoom(kZoomFit);
}

void PreviewPane::setZoom(int zoom) {
    if (zoom == m_zoom) return;
    const bool stepOnly = m_zoom != kZoomFit && zoom != kZoomFit && !m_zoomView->isHidden();
    m_zoom = zoom;
    if (stepOnly) {
        const QImage& shown = m_zoomView->picture();
        const QRect placed = previewRect(m_frame->size(), shown.size(), zoom);
        m_zoomView->setFactor(zoom, placed.topLeft() - m_zoomView->pos());
    } else {
        display();
    }
    emit zoomChanged(zoom);
}

void PreviewPane::setFacts(const QString& line, const QString& tooltip) {
    m_factsText = line;
    showFactsText();
    for (QWidget* w : {static_cast<QWidget*>(m_factsLabel), static_cast<QWidget*>(m_image),
                       m_zoomView->viewport()})
        w->setToolTip(tooltip);
}

void PreviewPane::showFactsText() {
    const QFontMetrics metrics = m_factsLabel->fontMetrics();
    const int width = m_factsLabel->width();
    // A picture's facts shorten part by part to fit the row; the tooltip has them all.
    const QString line =
        hasPicture() && !m_factsText.isEmpty()
            ? factsLineWithin(
                  m_facts, [&metrics](const QString& s) { return metrics.horizontalAdvance(s); },
                  width)
            : m_factsText;
    m_factsLabel->setText(metrics.elidedText(line, Qt::ElideRight, width));
}

void PreviewPane::placeFactsLabel() {
    // The caption row right of the frame's title: no control of the window moves for it.
    QStyleOptionGroupBox option;
    option.initFrom(m_frame);
    option.text = m_frame->title();
    option.textAlignment = m_frame->alignment();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    option.lineWidth = 1;
    const QRect title = m_frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                         QStyle::SC_GroupBoxLabel, m_frame);
    const int height = std::max(title.height(), m_factsLabel->fontMetrics().height());
    const int left = title.right() + 12;
    m_factsLabel->setGeometry(left, title.top(), std::max(0, m_frame->width() - left - 4), height);
    showFactsText();
}

bool PreviewPane::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int dy = wheel->angleDelta().y();
            if (dy > 0) zoomIn();
            if (dy < 0) zoomOut();
            return true;
        }
    } else if (watched == m_frame && event->type() == QEvent::Resize) {
        placeFactsLabel();
    }
    return QObject::eventFilter(watched, event);
}
