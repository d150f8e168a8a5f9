// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/ImageView.h"

#include "platform/detail/ScreenSize.h"
#include "platform/qt/Widgets.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <utility>

namespace platform::qt {

namespace {

// Long enough for the 50 ms steps of an opening to count as one change.
constexpr int SettleMilliseconds = 120;

} // namespace

QImage imageOf(const detail::Bitmap &bitmap)
{
    if (bitmap.empty())
        return {};
    return QImage(reinterpret_cast<const uchar *>(bitmap.data()), bitmap.width(), bitmap.height(),
                  static_cast<qsizetype>(bitmap.width()) * 4,
                  bitmap.hasAlpha() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

ImageView::ImageView(backend::ControlEvents &events) : events(events)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    settleTimer.setSingleShot(true);
    QObject::connect(&settleTimer, &QTimer::timeout, this, [this] { settle(); });
}

void ImageView::setPicture(std::shared_ptr<const detail::PictureData> newPicture)
{
    picture = std::move(newPicture);
    pixels = picture ? imageOf(picture->image) : QImage();
    smooth = QImage();
    fresh = true;
    updateOpacity();
    adoptFittingCopy();
    update();
}

void ImageView::setStretch(bool value)
{
    stretched = value;
    smooth = QImage();
    updateOpacity();
    update();
}

QSize ImageView::devicePixelSize() const
{
    const double ratio = devicePixelRatioF();
    return QSize(static_cast<int>(std::ceil(width() * ratio)),
                 static_cast<int>(std::ceil(height() * ratio)));
}

// Stretched, an opaque picture covers every pixel of the widget, so what
// lies under it need not be painted first: at full screen that saves a
// fill of the whole window at every step of the opening.
void ImageView::updateOpacity()
{
    setAttribute(Qt::WA_OpaquePaintEvent, stretched && picture && !picture->image.hasAlpha());
}

// A copy the size of the widget is made only when the widget is no larger
// than the screen: the picture can be set far larger for a moment, and
// only the part inside the window is ever seen.
bool ImageView::cacheable() const
{
    const QSize size = devicePixelSize();
    const detail::PixelSize screen = detail::screenDevicePixels();
    return stretched && !size.isEmpty() && size.width() <= 2 * screen.width
            && size.height() <= 2 * screen.height;
}

void ImageView::settledAt(QSize size)
{
    if (isVisible())
        events.pictureSettled({ size.width(), size.height() });
}

// Takes the picture itself or its copy decoded ahead when either is exactly
// the widget's size: no scaling at all.
bool ImageView::adoptFittingCopy()
{
    if (!picture || !cacheable())
        return false;
    const QSize size = devicePixelSize();
    if (!smooth.isNull() && smooth.size() == size)
        return true;
    if (pixels.size() == size)
        smooth = pixels;
    else if (picture->prescaled.size() == detail::PixelSize{ size.width(), size.height() })
        smooth = imageOf(picture->prescaled);
    else
        return false;
    smooth.setDevicePixelRatio(devicePixelRatioF());
    settledAt(size);
    return true;
}

void ImageView::settle()
{
    if (!picture || !cacheable()) {
        smooth = QImage();
        return;
    }
    if (adoptFittingCopy()) {
        update();
        return;
    }
    const QSize size = devicePixelSize();
    smooth = pixels.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    smooth.setDevicePixelRatio(devicePixelRatioF());
    settledAt(size);
    update();
}

void ImageView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!smooth.isNull() && smooth.size() != devicePixelSize())
        smooth = QImage();
    adoptFittingCopy();
    // Sizes coming quicker than the settling time are an animation; a
    // single resize (a picture fitted on its change) is not.
    animating = lastResize.isValid() && lastResize.elapsed() < SettleMilliseconds;
    lastResize.start();
    settleTimer.start(SettleMilliseconds);
}

void ImageView::paintEvent(QPaintEvent *event)
{
    if (!picture)
        return;
    QPainter painter(this);
    painter.setClipRegion(event->region());
    if (!stretched) {
        painter.drawImage(QPoint(0, 0), pixels);
        return;
    }
    if (adoptFittingCopy()) {
        fresh = false;
        painter.drawImage(QPoint(0, 0), smooth);
        return;
    }
    // Unfiltered, and only over the exposed part: cheap enough for every
    // step of an animation, and replaced by the smooth copy once it settles,
    // or, for a new picture, as soon as this paint is on screen.
    painter.drawImage(rect(), pixels);
    // The settling time counts from the end of this paint: a step that came
    // late (a 4K window takes long to draw) must not find the smoothing of
    // a size the next step throws away.
    if (std::exchange(fresh, false) && !animating)
        settleTimer.start(0);
    else
        settleTimer.start(SettleMilliseconds);
}

void ImageView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        events.mousePressed();
}

void ImageView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        events.mouseReleased(rect().contains(event->position().toPoint()));
}

namespace {

class Image : public WidgetPeer<backend::ImagePeer>
{
public:
    Image(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : WidgetPeer(new ImageView(events), parent)
    { }

    void setPicture(std::shared_ptr<const detail::PictureData> picture) override
    {
        view()->setPicture(std::move(picture));
    }
    void setStretch(bool value) override { view()->setStretch(value); }

private:
    ImageView *view() const { return static_cast<ImageView *>(widget()); }
};

} // namespace

} // namespace platform::qt

namespace platform::backend {

std::unique_ptr<ImagePeer> createImage(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<qt::Image>(parent, events);
}

} // namespace platform::backend
