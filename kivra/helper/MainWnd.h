#pragma once

#include <kivra/helper/MainWidgetBase.h>

#include <QMainWindow>

namespace kivra::helper {

// The window of a form of type 30001.
class MainWnd : public QMainWindow, public MainWidgetBase
{
    Q_OBJECT

public:
    explicit MainWnd(QWidget *parent = nullptr, Qt::WindowFlags flags = {});
};

} // namespace kivra::helper
