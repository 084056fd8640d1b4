#include "client/core/views/DbButtonEdit.h"

#include <QStyle>

namespace qv::client {

DbButtonEdit::DbButtonEdit(QWidget *parent)
    : DbLineEdit(parent)
{
    m_button = addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                         QLineEdit::TrailingPosition);
    m_button->setToolTip(QStringLiteral("选择"));
    connect(m_button, &QAction::triggered, this, [this] { pick(); });
}

bool DbButtonEdit::pick()
{
    emit buttonClicked();
    if (!m_picker || isFieldReadOnly())
        return false;
    const std::optional<QString> chosen = m_picker(*this);
    if (!chosen)
        return false;
    if (!beginTyping())
        return false;
    setText(*chosen);
    return accept();
}

void DbButtonEdit::applyReadOnly(bool readOnly)
{
    DbLineEdit::applyReadOnly(readOnly);
    m_button->setEnabled(!readOnly);
}

void DbButtonEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    DbLineEdit::mouseDoubleClickEvent(event);
    pick();
}

} // namespace qv::client
