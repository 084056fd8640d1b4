// The desktop shell on Qt's offscreen platform: it shows the log and the
// server's messages and clears the log on "删除"; without a tray it shows the
// window so the server can be ended.
#include "server/desktop/DesktopShell.h"
#include "server/desktop/MainWindow.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace qv::server;

TEST(DesktopShell, ShowsTheLogAndClearsIt)
{
    int argc = 1;
    char name[] = "QvServer";
    char *argv[] = {name, nullptr};
    auto app = createDesktopApplication(argc, argv);
    QTemporaryDir dir;
    ServerConfig config;
    config.programFolder = dir.path();
    ServerContext context(config);
    {
        DesktopShell shell(context);
        EXPECT_EQ(context.linkPrompt, &shell);
        context.statementLog.admit(QStringLiteral("select 1"));
        context.events.add(QStringLiteral("a client came"));

        MainWindow *window = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *main = qobject_cast<MainWindow *>(w))
                window = main;
        }
        ASSERT_TRUE(window);
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Main"));
        const auto areas = window->findChildren<QPlainTextEdit *>();
        ASSERT_EQ(areas.size(), 2);
        QTRY_COMPARE(areas[0]->toPlainText(), QStringLiteral("select 1\n\n"));
        EXPECT_TRUE(areas[1]->toPlainText().contains(QStringLiteral("a client came")));
        EXPECT_FALSE(areas[1]->isVisible()) << "other messages start hidden";

        for (QToolButton *button : window->findChildren<QToolButton *>()) {
            if (button->text() == QStringLiteral("删除"))
                button->click();
        }
        EXPECT_TRUE(context.statementLog.text().isEmpty());
        QTRY_COMPARE(areas[0]->toPlainText(), QString());
    }
    EXPECT_EQ(context.linkPrompt, nullptr);
}
