#include "WindowTest.h"

#include <window/AppPrompt.h>

#include <QLineEdit>
#include <QSettings>
#include <QTest>

void WindowTest::initTestCase()
{
    AppTest::initTestCase();
    AppPrompt::setHandler([this](const AppPrompt::Request &request) {
        if (request.chooseItem) {
            m_offeredItems = request.items;
            return m_itemAnswer;
        }
        notePrompt(request.title, request.text);
        return std::exchange(m_answer, QVariant());
    });
}

void WindowTest::init()
{
    AppTest::init();
    m_settingsDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_settingsDir->isValid());
    newDialog();
}

void WindowTest::cleanup()
{
    m_dialog.reset();
    AppTest::cleanup();
}

void WindowTest::newDialog()
{
    m_dialog.reset();
    m_dialog = std::make_unique<Dialog>(nullptr, m_settingsDir->path());
}

void WindowTest::setText(const char *name, const QString &text)
{
    auto *edit = field<QLineEdit>(name, kivra::kOpenFileLineEdit);
    if (!edit)
        edit = field<QLineEdit>(name, kivra::kSaveFileLineEdit);
    if (!edit)
        qFatal("No file name field %s", name);
    edit->setText(text);
}

void WindowTest::assignType(int column, const QString &placeholder)
{
    columns()->setCurrentIndex(column);
    types()->setCurrentIndex(types()->findData(placeholder));
    m_dialog->findChild<QPushButton *>("assignButton")->click();
}

QStringList WindowTest::columnCaptions() const
{
    QStringList captions;
    for (int i = 0; i < columns()->count(); ++i)
        captions.append(columns()->itemText(i));
    return captions;
}

QList<int> WindowTest::markedColumns() const
{
    QList<int> marked;
    for (int i = 0; i < columns()->count(); ++i) {
        if (!columns()->itemIcon(i).isNull())
            marked.append(i);
    }
    return marked;
}

QList<int> WindowTest::clearedColumns() const
{
    QList<int> cleared;
    for (int i = 0; i < emptyFields()->count(); ++i) {
        if (emptyFields()->item(i)->checkState() == Qt::Checked)
            cleared.append(i);
    }
    return cleared;
}

QVariantMap WindowTest::storedOptions() const
{
    const QSettings options(m_settingsDir->filePath(QStringLiteral("vondrel.opt")),
                            QSettings::IniFormat);
    return options.value(QStringLiteral("main/vmap")).toMap();
}
