// The failure of a dataset operation: which operation, on which field and row,
// and the text a window may show. The engine itself never shows it.
#pragma once

#include <QString>

namespace qv::client {

struct DataSetError {
    QString operation; // "open", "post", "apply", "load", ...
    QString field;     // the field concerned, when there is one
    int row = -1;      // the row concerned (0-based), when there is one
    QString message;

    bool isNull() const { return message.isEmpty(); }
    QString toString() const
    {
        QString text = operation;
        if (!field.isEmpty())
            text += QStringLiteral(" [%1]").arg(field);
        if (row >= 0)
            text += QStringLiteral(" row %1").arg(row + 1);
        return text.isEmpty() ? message : text + QStringLiteral(": ") + message;
    }
};

} // namespace qv::client
