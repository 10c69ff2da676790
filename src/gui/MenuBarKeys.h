#pragma once

#include <QProxyStyle>

// The menu bar's style: the application's own, except that pressing and letting go of Alt
// takes the keyboard to the menu bar on every platform, as it does on Windows. Without a mouse
// the menu bar is reached only so.
class MenuBarKeys : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override;
};
