#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

namespace QXlsx {
class Document;
}

// The base of the application's test objects: each test function gets a fresh folder, and
// every notice is noted as "title|text" instead of shown. Window tests note the window's
// prompts too: a question or file dialog takes m_answer once (none: No or Cancel); an item
// chooser notes its items and takes m_itemAnswer. A test function must take every prompt it
// causes.
class AppTest : public QObject
{
    Q_OBJECT

protected slots:
    void initTestCase();
    void init();
    void cleanup();

protected:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // Writes bytes into the test folder; the file's path.
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    QStringList takePrompts() { return std::exchange(m_prompts, {}); }
    void notePrompt(const QString &title, const QString &text);

    // An empty workbook with the given sheets, the first one selected.
    static std::unique_ptr<QXlsx::Document> newWorkbook(const QStringList &sheets = {"Daten"});
    // Writes rows into the selected sheet from its first cell on; an invalid value leaves a blank.
    static void writeRows(QXlsx::Document &document, const QList<QVariantList> &rows);
    // Saves document into the test folder; the file's path.
    QString saveWorkbook(const QString &name, QXlsx::Document &document) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_prompts;
    QVariant m_answer;
    QVariant m_itemAnswer;
    QStringList m_offeredItems;
};
