// Number-only entry: a box that takes nothing but the digits, "-" and ".".
// Any other character is refused with a beep; deleting is always allowed.
#pragma once

#include <QValidator>

namespace qv::client {

class NumberOnlyValidator : public QValidator {
    Q_OBJECT

public:
    explicit NumberOnlyValidator(QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;

    static bool isAllowed(QChar c);
};

} // namespace qv::client
