// Monitor choice by overlap area, then by distance, as the system's nearest-monitor
// rule does.
#include "app/shell/clamp_rect.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstdint>

namespace {

int64_t Overlap(const PTzRECT& a, const PTzRECT& b)
{
    const int64_t width = std::min<int64_t>(a.right, b.right) - std::max<int64_t>(a.left, b.left);
    const int64_t height = std::min<int64_t>(a.bottom, b.bottom) - std::max<int64_t>(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// The squared gap between two rectangles (0 when they touch or overlap).
int64_t Distance(const PTzRECT& a, const PTzRECT& b)
{
    const int64_t dx = std::max<int64_t>({0, int64_t(b.left) - a.right, int64_t(a.left) - b.right});
    const int64_t dy = std::max<int64_t>({0, int64_t(b.top) - a.bottom, int64_t(a.top) - b.bottom});
    return dx * dx + dy * dy;
}

// Shifts [low, high) into [min, max): back from the far edge first, then onto the near one.
void ClampAxis(int32_t* low, int32_t* high, int32_t min, int32_t max)
{
    int64_t shift = 0;
    if (*high > max)
        shift = int64_t(max) - *high;
    if (*low + shift < min)
        shift = int64_t(min) - *low;
    *low = int32_t(*low + shift);
    *high = int32_t(*high + shift);
}

}  // namespace

int ClampRectToScreens(PTzRECT* rect, const std::vector<PTzRECT>& screens)
{
    if (!rect || screens.empty() || rect->right <= rect->left || rect->bottom <= rect->top)
        return 0;
    const PTzRECT* nearest = &screens.front();
    for (const PTzRECT& screen : screens) {
        const int64_t overlap = Overlap(*rect, screen);
        const int64_t best = Overlap(*rect, *nearest);
        if (overlap > best || (best == 0 && overlap == 0 && Distance(*rect, screen) < Distance(*rect, *nearest)))
            nearest = &screen;
    }
    ClampAxis(&rect->left, &rect->right, nearest->left, nearest->right);
    ClampAxis(&rect->top, &rect->bottom, nearest->top, nearest->bottom);
    return 1;
}

int ClampRectToMonitor(PTzRECT* rect)
{
    std::vector<PTzRECT> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->geometry();
        screens.push_back({area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
    }
    return ClampRectToScreens(rect, screens);
}
