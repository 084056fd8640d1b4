// The common look of the data-entry controls of the edit windows: every line
// edit, combo box, spin box, date edit and button edit of the form is drawn
// flat with one frame colour. The data-bound combo boxes named after a
// dictionary code (or EMPLOYEE) refill their list as they drop down.
#pragma once

#include <QColor>

#include <functional>

class QComboBox;
class QWidget;

namespace qv::client {

// The frame colour of the data-entry controls.
QColor editFrameColor();

// Runs just before a combo box shows its list (FillDictionaryList).
using DropDownHandler = std::function<void(QComboBox *combo)>;

// Styles every data-entry control below the form (the form itself is left as
// it is) and, with a handler, wires it to the drop-down of every data-bound
// combo box whose name is a dictionary code or EMPLOYEE. Calling it again
// changes nothing further.
void StyleEditControls(QWidget *form, DropDownHandler onDropDown = {});

// Calls the handler whenever the combo box is about to drop down (mouse
// press, F4, Alt+Down).
void onComboDropDown(QComboBox *combo, DropDownHandler handler);

} // namespace qv::client
