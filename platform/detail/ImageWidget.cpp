// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/ImageWidget.h"

#include "platform/detail/Dispatch.h"
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
    settleTimer.setInterval(SettleMilliseconds);
    QObject::connect(&settleTimer, &QTimer::timeout, this, [this] { settle(); });
}

void ImageWidget::setPicture(std::shared_ptr<const detail::PictureData> newPicture)
{
    picture = std::move(newPicture);
    smooth = QImage();
    if (isVisible())
        settle();
    update();
}

void ImageWidget::setStretch(bool value)
{
    stretched = value;
    smooth = QImage();
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

void ImageWidget::settle()
{
    if (!picture || !cacheable()) {
        smooth = QImage();
        return;
    }
    const QSize size = devicePixelSize();
    if (!smooth.isNull() && smooth.size() == size)
        return;
    smooth = picture->image.size() == size
            ? picture->image
            : picture->image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    smooth.setDevicePixelRatio(devicePixelRatioF());
    update();
}

void ImageWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!smooth.isNull() && smooth.size() != devicePixelSize())
        smooth = QImage();
    settleTimer.start();
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
    if (!smooth.isNull() && smooth.size() == devicePixelSize()) {
        painter.drawImage(QPoint(0, 0), smooth);
        return;
    }
    // Unfiltered, and only over the exposed part: cheap enough for every
    // step of an animation, and replaced by the smooth copy once it settles.
    painter.drawImage(rect(), picture->image);
    if (!settleTimer.isActive())
        settleTimer.start();
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
