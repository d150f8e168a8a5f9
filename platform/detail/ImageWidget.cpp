// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/ImageWidget.h"

#include "platform/detail/Dispatch.h"
#include "platform/detail/PictureCache.h"
#include "platform/detail/ScreenSize.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <utility>

namespace platform {

namespace {

// Long enough for the 50 ms steps of an opening to count as one change.
constexpr int SettleMilliseconds = 120;

} // namespace

ImageWidget::ImageWidget()
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    settleTimer.setSingleShot(true);
    QObject::connect(&settleTimer, &QTimer::timeout, this, [this] { settle(); });
}

void ImageWidget::setPicture(std::shared_ptr<const detail::PictureData> newPicture)
{
    picture = std::move(newPicture);
    smooth = QImage();
    fresh = true;
    updateOpacity();
    adoptFittingCopy();
    update();
}

void ImageWidget::setStretch(bool value)
{
    stretched = value;
    smooth = QImage();
    updateOpacity();
    update();
}

void ImageWidget::setClickHandler(std::function<void()> handler)
{
    clickHandler = std::move(handler);
}

QSize ImageWidget::devicePixelSize() const
{
    const double ratio = devicePixelRatioF();
    return QSize(static_cast<int>(std::ceil(width() * ratio)),
                 static_cast<int>(std::ceil(height() * ratio)));
}

// Stretched, an opaque picture covers every pixel of the widget, so what
// lies under it need not be painted first: at full screen that saves a
// fill of the whole window at every step of the opening.
void ImageWidget::updateOpacity()
{
    setAttribute(Qt::WA_OpaquePaintEvent,
                 stretched && picture && !picture->image.hasAlphaChannel());
}

// A copy the size of the widget is made only when the widget is no larger
// than the screen: the picture can be set far larger for a moment, and
// only the part inside the window is ever seen.
bool ImageWidget::cacheable() const
{
    const QSize size = devicePixelSize();
    const QSize screen = detail::screenDevicePixels();
    return stretched && !size.isEmpty() && size.width() <= 2 * screen.width()
            && size.height() <= 2 * screen.height();
}

// Takes the picture itself or its copy decoded ahead when either is exactly
// the widget's size: no scaling at all.
bool ImageWidget::adoptFittingCopy()
{
    if (!picture || !cacheable())
        return false;
    const QSize size = devicePixelSize();
    if (!smooth.isNull() && smooth.size() == size)
        return true;
    if (picture->image.size() == size)
        smooth = picture->image;
    else if (picture->prescaled.size() == size)
        smooth = picture->prescaled;
    else
        return false;
    smooth.setDevicePixelRatio(devicePixelRatioF());
    if (isVisible())
        detail::noteDisplaySize(size);
    return true;
}

void ImageWidget::settle()
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
    smooth = picture->image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    smooth.setDevicePixelRatio(devicePixelRatioF());
    if (isVisible())
        detail::noteDisplaySize(size);
    update();
}

void ImageWidget::resizeEvent(QResizeEvent *event)
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

void ImageWidget::paintEvent(QPaintEvent *event)
{
    if (!picture)
        return;
    QPainter painter(this);
    painter.setClipRegion(event->region());
    if (!stretched) {
        painter.drawImage(QPoint(0, 0), picture->image);
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
    painter.drawImage(rect(), picture->image);
    if (std::exchange(fresh, false) && !animating)
        settleTimer.start(0);
    else if (!settleTimer.isActive())
        settleTimer.start(SettleMilliseconds);
}

void ImageWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        pressed = true;
}

void ImageWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && std::exchange(pressed, false)
        && rect().contains(event->position().toPoint()))
        detail::dispatch(clickHandler);
}

} // namespace platform
