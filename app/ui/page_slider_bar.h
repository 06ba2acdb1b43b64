// CNPageSliderBar: a slider whose thumb jumps to the point clicked on its channel, so it
// can be dragged from there at once, instead of stepping a page toward the click. A
// vertical one has its minimum at the top.
#pragma once

#include <QSlider>

// Where a click at point p along a slider's axis puts the thumb: the channel runs from
// channelStart to channelEnd (exclusive) and the thumb is thumbLength long. At or before
// the start gives the minimum, at or past the end the maximum; otherwise the thumb's
// centre goes under the point:
//     (p - thumbLength / 2 - channelStart) * (maximum - minimum) / (channelLength - thumbLength) + minimum
// truncated toward zero. A thumb as long as the channel gives the minimum, and every
// result lies within minimum..maximum.
int SliderClickPosition(int point, int channelStart, int channelEnd, int thumbLength, int minimum, int maximum);

class CNPageSliderBar : public QSlider {
public:
    explicit CNPageSliderBar(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);

    // Keeps the minimum at the top of a vertical slider (Qt puts it at the bottom), its
    // arrow keys moving the thumb the way they point.
    void SetOrientation(Qt::Orientation orientation);

    // The channel the thumb runs along, and the thumb, in the slider's coordinates.
    QRect GetChannelRect() const;
    QRect GetThumbRect() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
