// The answer of a data-layer operation: a value, or the text of what went wrong.
// The data layer never shows a message; the window that asked decides.
#pragma once

#include <QString>

#include <utility>

namespace qv::client {

template <typename T>
struct DataResult {
    T value{};
    QString error; // empty when the operation succeeded

    bool ok() const { return error.isEmpty(); }
    explicit operator bool() const { return ok(); }

    static DataResult success(T value) { return DataResult{std::move(value), QString()}; }
    static DataResult failure(QString error)
    {
        if (error.isEmpty())
            error = QStringLiteral("操作失败");
        return DataResult{T{}, std::move(error)};
    }
};

} // namespace qv::client
