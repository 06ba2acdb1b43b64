// Click-to-position of the page slider.
#include "app/ui/page_slider_bar.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>
#include <cstdint>

int SliderClickPosition(int point, int channelStart, int channelEnd, int thumbLength, int minimum, int maximum)
{
    if (point <= channelStart)
        return minimum;
    if (point >= channelEnd)
        return maximum;
    const int64_t travel = int64_t(channelEnd) - channelStart - thumbLength;
    if (travel <= 0)
        return minimum;
    const int64_t position =
        (int64_t(point) - thumbLength / 2 - channelStart) * (int64_t(maximum) - minimum) / travel + minimum;
    return int(std::clamp<int64_t>(position, std::min(minimum, maximum), std::max(minimum, maximum)));
}

CNPageSliderBar::CNPageSliderBar(Qt::Orientation orientation, QWidget* parent) : QSlider(parent)
{
    SetOrientation(orientation);
}

void CNPageSliderBar::SetOrientation(Qt::Orientation orientation)
{
    setOrientation(orientation);
    const bool vertical = orientation == Qt::Vertical;
    setInvertedAppearance(vertical);
    setInvertedControls(vertical);
}

QRect CNPageSliderBar::GetChannelRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
}

QRect CNPageSliderBar::GetThumbRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}

void CNPageSliderBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    const QRect channel = GetChannelRect();
    const QRect thumb = GetThumbRect();
    const QPoint p = event->position().toPoint();
    const QRect both = channel.united(thumb);
    // A press beside both the channel and the thumb is no press of the slider's.
    if (p.x() < both.left() || p.x() > both.right() || p.y() < both.top() || p.y() > both.bottom()) {
        event->accept();
        return;
    }
    const bool vertical = orientation() == Qt::Vertical;
    const int position = vertical ? SliderClickPosition(p.y(), channel.top(), channel.top() + channel.height(),
                                                        thumb.height(), minimum(), maximum())
                                  : SliderClickPosition(p.x(), channel.left(), channel.left() + channel.width(),
                                                        thumb.width(), minimum(), maximum());
    setValue(position);
    // The thumb now lies under the pointer: the slider's own press handling starts its drag.
    QSlider::mousePressEvent(event);
}
