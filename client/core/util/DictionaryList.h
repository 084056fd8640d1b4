// Drop-down lists filled from the dictionary (Pub_Project): a data-entry combo
// box named after a dictionary code (DW, MZ, XL, ...) lists the entries of that
// code's category; one named EMPLOYEE lists the staff of the user's departments.
#pragma once

#include "client/core/util/QueryService.h"

#include <QString>

class QComboBox;

namespace qv::client {

// The category of a dictionary code ("DW" -> "计量单位"); empty for other names.
QString dictionaryCategory(const QString &code);

// The statement that lists a category's entries.
QString dictionaryQuery(const QString &category);
// The statement that lists the employees of the departments (quoted names
// separated by ",", as the rights object gives them).
QString employeeNamesQuery(const QString &departmentNames);

// Fills the combo box by its object name. The category list is refilled only
// when it holds fewer than two entries, except the units, refilled every time.
// The combo box's current text is kept.
void FillDictionaryList(QComboBox *combo, QueryService &queries, const QString &departmentNames);

} // namespace qv::client
