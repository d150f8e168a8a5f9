// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/backend/Windows.h"
#include "platform/detail/PictureData.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace platform::qt {

// The decoded pixels as a QImage, sharing their memory: the picture must
// outlive it.
QImage imageOf(const detail::Bitmap &bitmap);

// Draws a picture stretched over the whole widget. While the widget's size
// keeps changing (the opening animation) it draws a quick unfiltered scale
// of the exposed part; once the size has held for a moment it draws from a
// smoothly scaled copy made once for that size. A new picture is never held
// back for scaling: it is drawn at once from a copy that already fits (the
// picture itself, or the one decoded ahead for the likely size), or else
// unfiltered, with the smooth copy made right after that first paint.
class ImageView : public QWidget
{
public:
    explicit ImageView(backend::ControlEvents &events);

    void setPicture(std::shared_ptr<const detail::PictureData> picture);
    void setStretch(bool value);

    // For tests: whether the smooth copy matches the current size, and
    // whose pixels it draws.
    bool hasSmoothCopy() const { return !smooth.isNull() && smooth.size() == devicePixelSize(); }
    const QImage &smoothCopy() const { return smooth; }
    void settle();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QSize devicePixelSize() const;
    bool cacheable() const;
    bool adoptFittingCopy();
    void updateOpacity();
    void settledAt(QSize size);

    backend::ControlEvents &events;
    std::shared_ptr<const detail::PictureData> picture;
    QImage pixels;
    QImage smooth;
    QTimer settleTimer;
    bool stretched = false;
    // A picture set since the last paint.
    bool fresh = false;
    bool animating = false;
    QElapsedTimer lastResize;
};

} // namespace platform::qt
