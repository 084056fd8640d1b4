#include "client/core/views/DbNumberEdit.h"

#include <QApplication>
#include <QKeyEvent>

namespace qv::client {

DbNumberEdit::DbNumberEdit(QWidget *parent)
    : DbLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

std::optional<double> DbNumberEdit::number() const
{
    QString t = text().trimmed();
    t.remove(u',');
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double d = t.toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

void DbNumberEdit::keyPressEvent(QKeyEvent *event)
{
    const QString t = event->text();
    const bool printable = !t.isEmpty() && t.at(0).isPrint()
                           && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (printable) {
        const QChar c = t.at(0);
        if (!(c.isDigit() || c == u'-' || c == u'.' || c == u',')) {
            QApplication::beep();
            event->accept();
            return;
        }
    }
    DbLineEdit::keyPressEvent(event);
}

} // namespace qv::client
