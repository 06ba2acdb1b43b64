// Pieces the program's small dialogs share: the opacity row (the "Opacity:" box 1006,
// the slider 1007 and "%"), which a CRSlideAndEditCom then keeps together, and the OK
// and Cancel buttons.
#pragma once

class QDialog;
class QLayout;
class QWidget;

// The row's controls, children of the dialog, in a layout for the caller to place.
QLayout* MakeOpacityRow(QWidget* dialog);
// OK and Cancel, wired to the dialog's accept and reject.
QWidget* MakeOkCancel(QDialog* dialog);
