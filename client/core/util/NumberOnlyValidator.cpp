#include "client/core/util/NumberOnlyValidator.h"

#include <QApplication>

namespace qv::client {

NumberOnlyValidator::NumberOnlyValidator(QObject *parent) : QValidator(parent) {}

bool NumberOnlyValidator::isAllowed(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') || c == QLatin1Char('.');
}

QValidator::State NumberOnlyValidator::validate(QString &input, int &) const
{
    for (const QChar c : std::as_const(input)) {
        if (!isAllowed(c)) {
            QApplication::beep();
            return Invalid;
        }
    }
    return Acceptable;
}

} // namespace qv::client
