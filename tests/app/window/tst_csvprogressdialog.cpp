#include <window/CsvProgressDialog.h>

#include <tables/QxtCsvModel.h>

#include <QApplication>
#include <QBuffer>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Counts the paint events of a widget.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Remembers every progress dialog that is shown.
class ShownProgressDialogs : public QObject
{
public:
    QList<QPointer<QProgressDialog>> dialogs;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *dialog = qobject_cast<QProgressDialog *>(watched))
                dialogs.append(dialog);
        }
        return false;
    }
};

} // namespace

// The window's progress dialog of a CSV read.
class TestCsvProgressDialog : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void progressDialogScalesHugeDevices();
    void progressDialogIsGoneAfterRead();
    void shownDialogIsPaintedAndCancels();
};

void TestCsvProgressDialog::cleanup()
{
    QxtCsvModel::setProgressHook({});
}

void TestCsvProgressDialog::progressDialogScalesHugeDevices()
{
    const qint64 fiveGiB = Q_INT64_C(5) << 30;
    vondrel::CsvProgressDialog progress(fiveGiB);
    QProgressDialog *dialog = nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        dialog = dialog ? dialog : qobject_cast<QProgressDialog *>(window);
    QVERIFY(dialog);
    QVERIFY(dialog->maximum() > 1000000);
    QVERIFY(progress.update(fiveGiB / 2));
    QVERIFY(qAbs(dialog->value() - dialog->maximum() / 2) <= 1);
    dialog->cancel();
    QVERIFY(!progress.update(fiveGiB / 2 + 1));
}

void TestCsvProgressDialog::progressDialogIsGoneAfterRead()
{
    QxtCsvModel::setProgressHook(&vondrel::CsvProgressDialog::callback);
    ShownProgressDialogs shown;
    qApp->installEventFilter(&shown);
    QxtCsvModel model;
    QBuffer buffer;
    buffer.setData("a;b\nc;d\n");
    model.setQuoteFlags(QxtCsvModel::QuoteDouble);
    model.readCsv(&buffer, false, u';', nullptr, -1, 0);
    qApp->removeEventFilter(&shown);

    QCOMPARE(shown.dialogs.size(), 1);
    QVERIFY(shown.dialogs.first().isNull());
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget *widget : widgets)
        QVERIFY(!qobject_cast<QProgressDialog *>(widget));
}

void TestCsvProgressDialog::shownDialogIsPaintedAndCancels()
{
    const qint64 size = 1000000;
    vondrel::CsvProgressDialog progress(size);
    QProgressDialog *dialog = nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        dialog = dialog ? dialog : qobject_cast<QProgressDialog *>(window);
    QVERIFY(dialog);
    PaintCounter counter;
    dialog->installEventFilter(&counter);

    // A read that updates it at once and then goes on for a while: the user sees the dialog,
    // not an empty frame, and a click on Cancel stops the read.
    QVERIFY(progress.update(0));
    QVERIFY(progress.update(size / 10));
    QVERIFY(counter.paints > 0);
    auto *cancel = dialog->findChild<QPushButton *>();
    QVERIFY(cancel);
    QTimer::singleShot(0, cancel, &QPushButton::click);
    QVERIFY(!progress.update(size / 5));
}

QTEST_MAIN(TestCsvProgressDialog)
#include "tst_csvprogressdialog.moc"
