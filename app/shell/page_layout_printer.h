// CPageLayoutPrinter: the application's QPrinter. A print queue refuses a whole page
// layout whose margins lie inside what it can print on the new paper (a set-up dialog
// that keeps the old paper's margins then changes only the orientation); this printer
// then takes the layout's paper, orientation and margins one by one, each margin at
// least the queue's own, so that the paper chosen in a set-up dialog is the paper
// printed on.
#pragma once

#include <QPrinter>

class CPageLayoutPrinter : public QPrinter {
public:
    using QPrinter::QPrinter;

    // True when the printer's layout now has the paper and orientation asked for.
    bool setPageLayout(const QPageLayout& layout) override;
};
