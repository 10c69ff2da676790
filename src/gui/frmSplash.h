#pragma once

#include <QWidget>

// The passive picture that covers start-up: no title bar, no taskbar entry, no controls.
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget *parent = nullptr);
};
