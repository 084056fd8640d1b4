// The client's look as a whole: hints appear at once (5 ms), as the clerks are
// used to from the old program.
#pragma once

#include <QProxyStyle>

namespace qv::client {

class ClientStyle : public QProxyStyle {
    Q_OBJECT

public:
    static constexpr int kHintPauseMs = 5;

    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
};

} // namespace qv::client
