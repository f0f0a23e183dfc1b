#include "MainWnd.h"

namespace kivra::helper {

MainWnd::MainWnd(QWidget *parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags)
{ }

} // namespace kivra::helper
