#include "CsvProgressDialog.h"

#include <tables/QxtCsvModel.h>

#include <QApplication>
#include <QProgressDialog>

#include <limits>
#include <memory>

namespace vondrel {

CsvProgressCallback CsvProgressDialog::callback(qint64 deviceSize)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return {};
    auto dialog = std::make_shared<CsvProgressDialog>(deviceSize);
    return [dialog](qint64 bytesRead) {
        return dialog->update(bytesRead);
    };
}

CsvProgressDialog::CsvProgressDialog(qint64 deviceSize)
    : m_deviceSize(qMax<qint64>(0, deviceSize))
{
    while ((m_deviceSize >> m_shift) > std::numeric_limits<int>::max())
        ++m_shift;
    QWidget *parent = QApplication::topLevelWidgets().value(0);
    m_dialog = new QProgressDialog(QxtCsvModel::tr("Lade Daten..."), QxtCsvModel::tr("Abbrechen"),
                                   0, int(m_deviceSize >> m_shift), parent);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->show();
}

CsvProgressDialog::~CsvProgressDialog()
{
    delete m_dialog.data();
}

bool CsvProgressDialog::update(qint64 bytesRead)
{
    if (!m_dialog)
        return true;
    m_dialog->setValue(int(qBound<qint64>(0, bytesRead, m_deviceSize) >> m_shift));
    // QProgressDialog lets events run only once it has decided to show itself; this one is
    // shown from the start, so without this it would stand unpainted and Cancel would not
    // answer until the read ends.
    QCoreApplication::processEvents();
    return !m_dialog->wasCanceled();
}

} // namespace vondrel
