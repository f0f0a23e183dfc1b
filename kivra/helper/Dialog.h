#pragma once

#include <kivra/helper/MainWidgetBase.h>

#include <QDialog>

namespace kivra::helper {

// The window of a form of type 30000.
class Dialog : public QDialog, public MainWidgetBase
{
    Q_OBJECT

public:
    explicit Dialog(QWidget *parent = nullptr, Qt::WindowFlags flags = {});
};

} // namespace kivra::helper
