// The pages of the navigation desk and their function pictures, as data. A
// picture is named after the menu item it runs; a name whose second-to-last
// character is "_" runs the item named without its last two characters.
#pragma once

#include <QList>
#include <QString>

namespace qv::client {

struct DeskPicture {
    const char *caption;
    const char *name;
};

struct DeskPage {
    int index; // the page number of its button
    const char *title;
    QList<DeskPicture> pictures;
};

const QList<DeskPage> &deskPages();

// The menu item a picture runs.
QString deskPictureTarget(const QString &pictureName);

} // namespace qv::client
