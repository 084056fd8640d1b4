// The error a failed call answers with: the text shown to the user, and where it
// arose when that is known.
#pragma once

#include "protocol/Decode.h"

#include <QString>

namespace qv::protocol {

struct ErrorInfo {
    ErrorInfo() = default;
    ErrorInfo(QString text, QString phase = {}, int line = 0, int column = 0)
        : text(std::move(text)), phase(std::move(phase)), line(line), column(column)
    {
    }

    QString text;
    // Which stage failed: "connection", "timeout", "protocol" (set by Channel),
    // or the server's own ("arguments", "translate", "database", ...). May be empty.
    QString phase;
    // Position in the statement text, 1-based; 0 when there is none.
    int line = 0;
    int column = 0;

    bool isEmpty() const { return text.isEmpty(); }
    // "text" or "text (phase, line 3, column 7)" for logs.
    QString describe() const;
    bool operator==(const ErrorInfo &) const = default;
};

QCborValue toCbor(const ErrorInfo &error);
bool fromCbor(const QCborValue &value, ErrorInfo &out, DecodeErrors &errors);

} // namespace qv::protocol
