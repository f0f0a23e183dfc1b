#include "Validator.h"

#include <kivra/Callbacks.h>

namespace kivra::helper {

Validator::Validator(QWidget *window, QLineEdit *lineEdit, const INFO &windowRecord,
                     const INFO &fieldRecord, QMap<QString, QVariant> *values)
    : QValidator(lineEdit)
    , m_windowRecord(windowRecord)
    , m_fieldRecord(fieldRecord)
    , m_values(values)
    , m_window(window)
    , m_lineEdit(lineEdit)
{ }

QValidator::State Validator::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos);
    QVariant proposed(input);
    if (!askCallbacks(m_fieldRecord, m_windowRecord, m_window, m_lineEdit.data(), QVariant(),
                      kValidate, m_values, &proposed, nullptr))
        return Invalid;
    input = proposed.toString();
    return Acceptable;
}

void Validator::fixup(QString &input) const
{
    Q_UNUSED(input);
}

} // namespace kivra::helper
