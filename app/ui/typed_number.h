// Reading the number a person typed into one of the program's controls: the leading
// decimal integer of the text, saturated at the int range so that a long digit string
// can never overflow before the control clamps it to its own range.
#pragma once

#include <QStringView>

// The text's leading integer (after blanks, with an optional sign) in *value, saturated at
// the int range: true; false, with *value unchanged, when no digit leads the text.
bool ReadLeadingInteger(QStringView text, int* value);
