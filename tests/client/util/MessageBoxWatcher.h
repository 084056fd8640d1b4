// Answers the message boxes a test provokes and records what they said. A box
// that appears while the watcher is not told to expect it fails the test.
//
//   MessageBoxWatcher boxes;
//   boxes.expect();                       // the next box is wanted; press its default
//   DeleteGuard(queries, "HP", "");       // shows "请选择网格内一条记录！"
//   EXPECT_EQ(boxes.texts(), QStringList{"请选择网格内一条记录！"});
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace qv::client::test {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

class MessageBoxWatcher : public QObject {
    Q_OBJECT

public:
    MessageBoxWatcher();
    ~MessageBoxWatcher() override;

    // The next `count` boxes are expected; each is answered with `button` (or
    // its default button when none is given).
    void expect(int count = 1, QMessageBox::StandardButton button = QMessageBox::NoButton);
    // Every box from now on is answered without failing the test.
    void expectAny(QMessageBox::StandardButton button = QMessageBox::NoButton);

    const QList<SeenBox> &seen() const { return m_seen; }
    QStringList texts() const;
    void clear() { m_seen.clear(); }
    int unexpectedCount() const { return m_unexpected; }

private:
    void poll();
    void answer(QMessageBox *box);

    QTimer m_timer;
    QList<SeenBox> m_seen;
    int m_expected = 0;
    bool m_any = false;
    int m_unexpected = 0;
    QList<QMessageBox::StandardButton> m_buttons;
    QMessageBox::StandardButton m_anyButton = QMessageBox::NoButton;
};

} // namespace qv::client::test
