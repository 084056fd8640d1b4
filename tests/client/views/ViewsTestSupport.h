// Shared by the view tests: the line table fixture of the dataset tests and a
// guard that turns QAbstractItemModelTester complaints into test failures.
#pragma once

#include "tests/client/dataset/DataSetFixture.h"

#include <QAbstractItemModelTester>
#include <QLoggingCategory>
#include <QStringList>

namespace qv::client::test {

// Collects the warnings of the model tester while it lives.
class ModelTesterLog {
public:
    ModelTesterLog()
    {
        s_messages.clear();
        m_previous = qInstallMessageHandler(&ModelTesterLog::handler);
    }
    ~ModelTesterLog() { qInstallMessageHandler(m_previous); }
    static const QStringList &messages() { return s_messages; }

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type != QtDebugMsg && context.category && QLatin1String(context.category).startsWith(QLatin1String("qt.modeltest")))
            s_messages << message;
    }
    inline static QStringList s_messages;
    QtMessageHandler m_previous = nullptr;
};

} // namespace qv::client::test
