#include "client/core/views/DbPicture.h"

#include <QFile>
#include <QPixmap>

namespace qv::client {

DbPicture::DbPicture(QWidget *parent)
    : QLabel(parent)
    , DataAwareEditor(this)
{
    setAlignment(Qt::AlignCenter);
    setMinimumSize(32, 32);
}

bool DbPicture::setImage(const QByteArray &bytes)
{
    if (isFieldReadOnly() || !beginTyping())
        return false;
    m_bytes = bytes;
    m_image = QImage::fromData(m_bytes);
    showImage();
    return accept();
}

bool DbPicture::loadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return setImage(file.readAll());
}

QVariant DbPicture::editorValue() const
{
    return m_bytes.isNull() ? QVariant() : QVariant(m_bytes);
}

void DbPicture::showValue(const Field *field)
{
    const QVariant v = field ? field->value() : QVariant();
    m_bytes = v.isValid() ? v.toByteArray() : QByteArray();
    m_image = QImage::fromData(m_bytes);
    showImage();
}

bool DbPicture::storeValue(Field &field)
{
    return field.setValue(editorValue());
}

void DbPicture::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    showImage();
}

void DbPicture::showImage()
{
    if (m_image.isNull()) {
        setPixmap(QPixmap());
        return;
    }
    setPixmap(QPixmap::fromImage(m_image.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

} // namespace qv::client
