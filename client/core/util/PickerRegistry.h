// The pickers behind named edit boxes: a button-edit box named
// "RzButtonEdit_Dept", "RzButtonEdit_Emp", "RzButtonEdit_Stock", ... opens the
// picker registered under its name. The picker keeps the chosen keys in the
// box's tool tip (its hint) and writes the chosen names into the box.
// Pickers are registered by the parts of the client that own them.
#pragma once

#include <QHash>
#include <QString>

#include <functional>

class QLineEdit;

namespace qv::client {

class PickerRegistry {
public:
    // Runs the picker on the box; true when the user chose something.
    using Picker = std::function<bool(QLineEdit &box)>;

    // The picker for boxes of this name (compared without regard to case);
    // a later registration replaces an earlier one.
    void add(const QString &boxName, Picker picker);
    bool contains(const QString &boxName) const;
    Picker picker(const QString &boxName) const;

    // The box names the shared pickers serve, whether registered yet or not.
    static const QStringList &knownBoxNames();

private:
    QHash<QString, Picker> m_pickers; // upper-case box name -> picker
};

// The button of a named edit box: runs the picker registered for the box's
// object name. A box whose picker is not there does nothing; false then.
bool OnPickerButton(const PickerRegistry &registry, QLineEdit *box);

} // namespace qv::client
