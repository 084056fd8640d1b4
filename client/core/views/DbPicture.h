// A picture bound to a blob field (employee photos, item pictures): shows the
// image bytes scaled into the box; setImage() and loadFile() write new bytes,
// clearImage() writes null.
#pragma once

#include "client/core/views/DataAwareEditor.h"

#include <QLabel>

namespace qv::client {

class DbPicture : public QLabel, public DataAwareEditor {
    Q_OBJECT

public:
    explicit DbPicture(QWidget *parent = nullptr);

    bool setImage(const QByteArray &bytes);
    bool loadFile(const QString &path);
    bool clearImage() { return setImage(QByteArray()); }
    const QByteArray &imageBytes() const { return m_bytes; }
    // False when the bytes are not an image Qt can read.
    bool hasPicture() const { return !m_image.isNull(); }

    QVariant editorValue() const override;
    bool valueIsNull() const override { return m_bytes.isNull(); }
    bool valueIsEmpty() const override { return !m_bytes.isNull() && m_bytes.isEmpty(); }

protected:
    void showValue(const Field *field) override;
    bool storeValue(Field &field) override;
    void applyReadOnly(bool) override {}
    void resizeEvent(QResizeEvent *event) override;

private:
    void showImage();

    QByteArray m_bytes;
    QImage m_image;
};

} // namespace qv::client
