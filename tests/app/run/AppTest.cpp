#include "AppTest.h"

#include "RunFixture.h"
#include "XlsxFixture.h"

#include <run/AppIdentity.h>
#include <run/UserNotice.h>
#include <xlsx/Document.h>

#include <QTest>

void AppTest::initTestCase()
{
    setApplicationIdentity();
    UserNotice::setHandler(
        [this](const QString &title, const QString &text) { notePrompt(title, text); });
}

void AppTest::notePrompt(const QString &title, const QString &text)
{
    m_prompts.append(title + QLatin1Char('|') + text);
}

void AppTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_prompts.clear();
    m_answer = m_itemAnswer = QVariant();
    m_offeredItems.clear();
}

void AppTest::cleanup()
{
    QVERIFY2(m_prompts.isEmpty(), qPrintable(m_prompts.join(QLatin1Char('\n'))));
}

QString AppTest::writeFile(const QString &name, const QByteArray &bytes) const
{
    RunFixture::writeFile(path(name), bytes);
    return path(name);
}

std::unique_ptr<QXlsx::Document> AppTest::newWorkbook(const QStringList &sheets)
{
    QList<XlsxFixture::Sheet> parts;
    for (const QString &sheet : sheets)
        parts.append({sheet, XlsxFixture::sheetXml({})});
    auto document = XlsxFixture::load(XlsxFixture::workbook(parts));
    document->selectSheet(sheets.constFirst());
    return document;
}

void AppTest::writeRows(QXlsx::Document &document, const QList<QVariantList> &rows)
{
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < rows.at(row).size(); ++column) {
            const QVariant &value = rows.at(row).at(column);
            if (value.isValid() && !document.write(row + 1, column + 1, value))
                qFatal("Cannot write the test cell");
        }
    }
}

QString AppTest::saveWorkbook(const QString &name, QXlsx::Document &document) const
{
    if (!document.saveAs(path(name)))
        qFatal("Cannot write the test workbook %s", qPrintable(name));
    return path(name);
}
