#pragma once

#include <tables/CsvReader.h>

#include <QPointer>

class QProgressDialog;

namespace vondrel {

// The window-modal "loading" dialog of a CSV read, with a Cancel button. Updating it lets
// the event loop run, so Cancel works during a long read.
class CsvProgressDialog
{
public:
    // A progress callback that owns a dialog for a device of the given size; empty when
    // the application has no widgets.
    static CsvProgressCallback callback(qint64 deviceSize);

    explicit CsvProgressDialog(qint64 deviceSize);
    ~CsvProgressDialog();
    CsvProgressDialog(const CsvProgressDialog &) = delete;
    CsvProgressDialog &operator=(const CsvProgressDialog &) = delete;

    // Shows the position; false once the user has cancelled.
    bool update(qint64 bytesRead);

private:
    QPointer<QProgressDialog> m_dialog;
    qint64 m_deviceSize;
    // The dialog counts in int; sizes beyond that are shifted down.
    int m_shift = 0;
};

} // namespace vondrel
