#include "client/core/util/EditStyle.h"

#include "client/core/util/DictionaryList.h"
#include "client/core/views/DbComboBox.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWidget>

namespace qv::client {

QColor editFrameColor()
{
    return QColor(127, 157, 185);
}

namespace {

const char *const kStyledProperty = "qvEditStyled";

QString flatStyle(const char *selector)
{
    return QStringLiteral("%1 { border: 1px solid %2; border-radius: 0px; padding: 1px 2px; }")
        .arg(QLatin1String(selector), editFrameColor().name());
}

template <typename Control>
void styleAll(QWidget *form, const char *selector)
{
    const auto controls = form->findChildren<Control *>();
    for (Control *control : controls) {
        if (control->property(kStyledProperty).toBool())
            continue;
        // A line edit inside a combo or spin box is drawn by its owner.
        if (qobject_cast<QComboBox *>(control->parentWidget())
            || qobject_cast<QAbstractSpinBox *>(control->parentWidget()))
            continue;
        control->setStyleSheet(control->styleSheet() + flatStyle(selector));
        control->setProperty(kStyledProperty, true);
    }
}

class DropDownFilter : public QObject {
public:
    DropDownFilter(QComboBox *combo, DropDownHandler handler)
        : QObject(combo), m_combo(combo), m_handler(std::move(handler))
    {
        combo->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_combo && opensList(event) && m_combo->isEnabled())
            m_handler(m_combo);
        return false;
    }

private:
    static bool opensList(QEvent *event)
    {
        if (event->type() == QEvent::MouseButtonPress)
            return static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        return key->key() == Qt::Key_F4
               || ((key->key() == Qt::Key_Down || key->key() == Qt::Key_Up)
                   && key->modifiers().testFlag(Qt::AltModifier));
    }

    QComboBox *m_combo;
    DropDownHandler m_handler;
};

const char *const kDropDownProperty = "qvDropDownWired";

bool isDictionaryCombo(const QComboBox *combo)
{
    const QString name = combo->objectName();
    return name.compare(QStringLiteral("EMPLOYEE"), Qt::CaseInsensitive) == 0
           || !dictionaryCategory(name).isEmpty();
}

} // namespace

void onComboDropDown(QComboBox *combo, DropDownHandler handler)
{
    if (combo && handler)
        new DropDownFilter(combo, std::move(handler));
}

void StyleEditControls(QWidget *form, DropDownHandler onDropDown)
{
    if (!form)
        return;
    styleAll<QLineEdit>(form, "QLineEdit");
    styleAll<QComboBox>(form, "QComboBox");
    styleAll<QAbstractSpinBox>(form, "QAbstractSpinBox");
    if (!onDropDown)
        return;
    const auto combos = form->findChildren<DbComboBox *>();
    for (DbComboBox *combo : combos) {
        if (combo->property(kDropDownProperty).toBool() || !isDictionaryCombo(combo))
            continue;
        onComboDropDown(combo, onDropDown);
        combo->setProperty(kDropDownProperty, true);
    }
}

} // namespace qv::client
