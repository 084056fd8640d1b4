// The strip of tabs along the bottom of the main window, one per open child
// window (its caption followed by three spaces). Selecting a tab brings its
// window to the front; a tab's close button closes the window. The desk's tab
// has no close button: the desk is never closed.
#pragma once

#include <QTabBar>

namespace qv::client {

class TabStrip : public QTabBar {
    Q_OBJECT

public:
    static constexpr int kHeight = 23;

    explicit TabStrip(QWidget *parent = nullptr);

    // Index of the tab whose trimmed text equals the trimmed caption; -1 when none.
    int indexOfCaption(const QString &caption) const;
    // Adds the caption (plus three spaces) when missing, and selects it.
    void showCaption(const QString &caption);
    void removeCaption(const QString &caption);
    // The tab may not be closed (the desk's).
    void setPermanent(int index);
    QStringList captions() const; // trimmed, in order

signals:
    // The user chose the tab, or a window asked for it.
    void captionSelected(const QString &caption);
    void closeRequested(const QString &caption);

private:
    bool m_quiet = false;
};

} // namespace qv::client
