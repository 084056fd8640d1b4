#include "client/core/shell/ClientStyle.h"

namespace qv::client {

int ClientStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                           QStyleHintReturn *returnData) const
{
    if (hint == QStyle::SH_ToolTip_WakeUpDelay || hint == QStyle::SH_ToolTip_FallAsleepDelay)
        return kHintPauseMs;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

} // namespace qv::client
