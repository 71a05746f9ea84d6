#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace brelloc {

// Paints on whole device pixels for as long as it lives. At a fractional
// scale factor a one-pixel line of the window falls between device pixels
// and comes out one or two pixels wide; areas painted through this land
// each edge on one device pixel, as widgets' edges are rounded, so
// neighbouring areas meet without gap or overlap and every line is equally
// wide. At a scale factor of 1 it paints exactly the window's pixels.
class DevicePixels {
public:
    explicit DevicePixels(QPainter& painter) : painter_(painter), device_(painter.deviceTransform())
    {
        painter_.save();
        // World coordinates become device pixels.
        painter_.setWorldTransform(device_.inverted() * painter_.worldTransform());
        painter_.setRenderHint(QPainter::Antialiasing, false);
    }
    ~DevicePixels() { painter_.restore(); }
    DevicePixels(const DevicePixels&) = delete;
    DevicePixels& operator=(const DevicePixels&) = delete;

    // The device pixel edge of a device coordinate, rounded half up as the
    // window system rounds a widget's edges, so that an edge painted here
    // and the edge of a widget's area agree.
    static int Edge(qreal device) { return static_cast<int>(std::floor(device + 0.5)); }

    // A logical rectangle (its outer edges, as QRect::adjusted(0, 0, 1, 1)
    // gives them) in device pixels.
    QRect Rect(const QRect& logical) const
    {
        const QPointF topLeft = device_.map(QPointF(logical.left(), logical.top()));
        const QPointF bottomRight = device_.map(QPointF(logical.right() + 1, logical.bottom() + 1));
        return QRect(QPoint(Edge(topLeft.x()), Edge(topLeft.y())),
                     QPoint(Edge(bottomRight.x()) - 1, Edge(bottomRight.y()) - 1));
    }

    // The width in device pixels of a one-pixel line: whole pixels, never
    // less than one.
    int LineWidth() const
    {
        const qreal scale = device_.m11();
        return std::max(1, static_cast<int>(scale + 0.25));
    }

    void Fill(const QRect& device, const QColor& colour) { painter_.fillRect(device, colour); }

    // The line along the inner side of a device rectangle's edge.
    void RightLine(const QRect& device, const QColor& colour)
    {
        Fill(QRect(device.right() + 1 - LineWidth(), device.top(), LineWidth(), device.height()), colour);
    }
    void BottomLine(const QRect& device, const QColor& colour)
    {
        Fill(QRect(device.left(), device.bottom() + 1 - LineWidth(), device.width(), LineWidth()), colour);
    }
    void LeftLine(const QRect& device, const QColor& colour)
    {
        Fill(QRect(device.left(), device.top(), LineWidth(), device.height()), colour);
    }
    void TopLine(const QRect& device, const QColor& colour)
    {
        Fill(QRect(device.left(), device.top(), device.width(), LineWidth()), colour);
    }

private:
    QPainter& painter_;
    QTransform device_;
};

} // namespace brelloc
