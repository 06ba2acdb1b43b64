// The Qt side of the benchmarks that measure the program's windows: one offscreen
// QApplication for the process, a view shown bare (no frame, no scroll bars) so that its
// viewport has exactly the size asked, and the percentiles of measured latencies.
#pragma once

#include <QApplication>
#include <algorithm>
#include <memory>
#include <vector>

#include "app/shell/document.h"
#include "app/shell/picture_view.h"

// The process's QApplication on the offscreen platform, so the window system adds nothing;
// made on the first call, with `name` as its program name (argv[0]), before any widget.
inline QApplication& OffscreenApplication(const char* name)
{
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(name), nullptr};
    static QApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *application;
}

// A view of the document with no frame and no scroll bars, its viewport width x height,
// shown.
inline std::unique_ptr<CTamsleyView> ShowBareView(CTamsleyDoc* document, int width, int height)
{
    auto view = std::make_unique<CTamsleyView>(document);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setFrameShape(QFrame::NoFrame);
    view->resize(width, height);
    view->show();
    return view;
}

// The value below which the fraction of the values lie (0 without values).
inline double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(fraction * double(values.size())))];
}
