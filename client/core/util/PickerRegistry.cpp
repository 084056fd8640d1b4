#include "client/core/util/PickerRegistry.h"

#include <QLineEdit>

namespace qv::client {

void PickerRegistry::add(const QString &boxName, Picker picker)
{
    m_pickers.insert(boxName.toUpper(), std::move(picker));
}

bool PickerRegistry::contains(const QString &boxName) const
{
    return m_pickers.contains(boxName.toUpper());
}

PickerRegistry::Picker PickerRegistry::picker(const QString &boxName) const
{
    return m_pickers.value(boxName.toUpper());
}

const QStringList &PickerRegistry::knownBoxNames()
{
    static const QStringList names{
        QStringLiteral("RzButtonEdit_Dept"),  QStringLiteral("RzButtonEdit_Emp"),
        QStringLiteral("RzButtonEdit_Stock"), QStringLiteral("RzButtonEdit_KH"),
        QStringLiteral("RzButtonEdit_GYS"),   QStringLiteral("RzButtonEdit_VIP"),
        QStringLiteral("RzDBButtonEdit_Group"), QStringLiteral("RzButtonEdit_Item"),
        QStringLiteral("RzButtonEdit_ItemInfor"),
    };
    return names;
}

bool OnPickerButton(const PickerRegistry &registry, QLineEdit *box)
{
    if (!box)
        return false;
    const PickerRegistry::Picker picker = registry.picker(box->objectName());
    return picker ? picker(*box) : false;
}

} // namespace qv::client
