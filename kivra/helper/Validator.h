#pragma once

#include <kivra/Records.h>

#include <QLineEdit>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QValidator>
#include <QVariant>
#include <QWidget>

namespace kivra::helper {

// Hands every edit of a line edit to the form's callbacks as kValidate (the field's, then the
// window's): a callback may rewrite the proposed text, which then replaces the whole input, or
// answer 0 to refuse the edit. Owned by its line edit.
class Validator : public QValidator
{
    Q_OBJECT

public:
    Validator(QWidget *window, QLineEdit *lineEdit, const INFO &windowRecord,
              const INFO &fieldRecord, QMap<QString, QVariant> *values);

    // Acceptable or Invalid, never Intermediate; the cursor position is not used.
    State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;

private:
    // Copies: later changes of the records do not reach the validator.
    const INFO m_windowRecord;
    const INFO m_fieldRecord;
    QMap<QString, QVariant> *m_values;
    QPointer<QWidget> m_window;
    QPointer<QLineEdit> m_lineEdit;
};

} // namespace kivra::helper
