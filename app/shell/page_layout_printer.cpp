// The layout of a print queue, taken in parts when it refuses it whole.
#include "app/shell/page_layout_printer.h"

#include <algorithm>

bool CPageLayoutPrinter::setPageLayout(const QPageLayout& layout)
{
    if (QPrinter::setPageLayout(layout))
        return true;
    if (!layout.isValid())
        return false;
    setPageOrientation(layout.orientation());
    setPageSize(layout.pageSize());
    // The queue has set its own margins for the paper: they are the least it prints within.
    const QMarginsF least = pageLayout().margins(layout.units());
    const QMarginsF wanted = layout.margins();
    setPageMargins(QMarginsF(std::max(wanted.left(), least.left()), std::max(wanted.top(), least.top()),
                             std::max(wanted.right(), least.right()), std::max(wanted.bottom(), least.bottom())),
                   layout.units());
    const QPageLayout now = pageLayout();
    return now.pageSize().isEquivalentTo(layout.pageSize()) && now.orientation() == layout.orientation();
}
