#include "Dialog.h"

namespace kivra::helper {

Dialog::Dialog(QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
{ }

} // namespace kivra::helper
