#include "IniConfigurations.h"
#include "IniTestFiles.h"
#include "IniValues.h"
#include "MetaTypes.h"
#include "ReservedKeys.h"

#include <QFileInfo>
#include <QTest>
#include <QWidget>

using namespace kivra;

namespace {

const QByteArray kKey = QByteArray::fromHex("00ff9a10203040506070808182838485");

// A value map like the main window's.
QVariantMap mainWindowValues()
{
    return {{"input_filename", QStringLiteral("/daten/Kunden ä.csv")},
            {"csv_input_relaxed", true},
            {"input_row_offset", 3},
            {"floatScaleFactor", 1.25},
            {"pseudo_key", kKey},
            {"sep_data_field", QVariantList {3}},
            {"empty_data_fields", QVariantList {}},
            {"dateToTextFmt", QStringLiteral("dd.MM.yyyy")},
            {"columns", QStringList {"A", "B"}},
            {"script_filename", QVariant()}};
}

} // namespace

class TestKivraIniStore : public QObject
{
    Q_OBJECT

private slots:
    void summaryRoundTripKeepsTypes();
    void unstorableValueIsDropped_data();
    void unstorableValueIsDropped();
    void damagedFileIsBackedUp_data();
    void damagedFileIsBackedUp();
    void earlierBackupIsKept();
    void failedWriteIsReported();
    void readLeavesMapOnFailure();
    void separateKeysLayout();
    void namedConfigurations();

private:
    IniTestFiles m_files;
};

void TestKivraIniStore::summaryRoundTripKeepsTypes()
{
    const QString file = m_files.path("round.opt");
    QVariant bound = QStringLiteral("gebunden");
    T_LISTDATA encodings {{"Auto", true, QString(), {}}, {"UTF-8", false, "UTF-8", {}}};
    QVariantMap values = mainWindowValues();
    values.insert("bound", QVariant::fromValue(&bound));
    values.insert("text_encoding", QVariant::fromValue(encodings));
    values.insert(widgetDataKey("input_filename"), QVariant::fromValue(WIDGET_INFO()));

    QVERIFY(saveValuesToIni(&values, file, "main", false, nullptr, QString()));

    QVariantMap expected = mainWindowValues();
    expected.insert("bound", bound);
    expected.insert("text_encoding", QVariantList {QString()});
    QVariantMap restored;
    QVERIFY(readIniValues(&restored, m_files.freshCopy(file), "main", false, QString()));
    QCOMPARE(restored.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QCOMPARE(restored.value(it.key()).metaType(), it.value().metaType());
        QCOMPARE(restored.value(it.key()), it.value());
    }
    QCOMPARE(QSettings(file, QSettings::IniFormat).allKeys(), QStringList {"main/vmap"});
    QVERIFY(IniTestFiles::isOwnerOnly(file));
}

void TestKivraIniStore::unstorableValueIsDropped_data()
{
    QTest::addColumn<QVariant>("value");
    static QWidget widget;
    static QVariant variant;
    QTest::newRow("widget pointer") << QVariant::fromValue(&widget);
    QTest::newRow("shared map pointer") << QVariant::fromValue(T_VARMAP_SHARED_PTR::create());
    QTest::newRow("list data without stream operators")
        << QVariant::fromValue(QVariantList {QVariant::fromValue(T_LISTDATA {})});
    QTest::newRow("pointer nested in a map")
        << QVariant(QVariantMap {{"a", 1}, {"p", QVariant::fromValue(&variant)}});
}

void TestKivraIniStore::unstorableValueIsDropped()
{
    QFETCH(QVariant, value);
    const QString file = m_files.path(QStringLiteral("drop-%1.opt").arg(QTest::currentDataTag()));
    QVariantMap values = mainWindowValues();
    values.insert("bad", value);

    QTest::ignoreMessage(QtWarningMsg, "Not saved: the value of \"bad\" cannot be stored");
    QVERIFY(saveValuesToIni(&values, file, "main", false, nullptr, QString()));

    QVariantMap restored;
    QVERIFY(readIniValues(&restored, m_files.freshCopy(file), "main", false, QString()));
    QCOMPARE(restored, mainWindowValues());
}

void TestKivraIniStore::damagedFileIsBackedUp_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("backedUp");

    QTest::newRow("foreign text") << QByteArray("Liebe Leserin,\nhier steht kein INI.\n") << true;
    QTest::newRow("binary") << QByteArray("\x00\x01\xff\xfe [[ = \n\x80\x81 x\n", 16) << true;
    QTest::newRow("summary is not a map") << QByteArray("[main]\nvmap=kaputt\n") << true;
    QTest::newRow("broken section") << QByteArray("[main\nvmap=3\n") << true;
    QTest::newRow("comment would be lost") << QByteArray("; Notiz\n[main]\nx=1\n") << true;
    QTest::newRow("map that no longer decodes") << QByteArray() << true;
    QTest::newRow("intact file") << QByteArray("[other]\nx=1\n") << false;
}

void TestKivraIniStore::damagedFileIsBackedUp()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, backedUp);
    const QString file =
        m_files.path(QStringLiteral("damaged-%1.opt").arg(QTest::currentDataTag()));
    if (content.isEmpty()) {
        // Stretch the stored key's length past the end of the data.
        const QVariantMap key {{"pseudo_key", kKey}};
        QVERIFY(saveValuesToIni(&key, file, "main", false, nullptr, QString()));
        content = IniTestFiles::bytes(file).replace("\\0\\0\\0\\x10", "\\0\\0\\0\\x30");
        QVERIFY(content != IniTestFiles::bytes(file));
    }
    QVERIFY(IniTestFiles::write(file, content));

    if (backedUp)
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("was unreadable or damaged; its content is kept"));
    const QVariantMap values {{"a", 1}};
    QVERIFY(saveValuesToIni(&values, file, "main", false, nullptr, QString()));

    const QString backup = file + ".bak";
    QCOMPARE(QFileInfo::exists(backup), backedUp);
    if (backedUp) {
        QCOMPARE(IniTestFiles::bytes(backup), content);
        QVERIFY(IniTestFiles::isOwnerOnly(backup));
    }
    QCOMPARE(m_files.storedValue(file, "main/vmap"), QVariant(values));
}

void TestKivraIniStore::earlierBackupIsKept()
{
    const QString file = m_files.path("twice.opt");
    QVERIFY(IniTestFiles::write(file + ".bak", "older copy"));
    QVERIFY(IniTestFiles::write(file, "[main]\nvmap=erster Schaden\n"));
    const QVariantMap values {{"a", 1}};
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("its content is kept in \"twice.opt.1.bak\""));
    QVERIFY(saveValuesToIni(&values, file, "main", false, nullptr, QString()));
    QCOMPARE(IniTestFiles::bytes(file + ".bak"), QByteArray("older copy"));
    QCOMPARE(IniTestFiles::bytes(file + ".1.bak"), QByteArray("[main]\nvmap=erster Schaden\n"));

    // A file that stays damaged is not copied again.
    QVERIFY(IniTestFiles::write(file, "[main]\nvmap=erster Schaden\n"));
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("its content is kept in \"twice.opt.1.bak\""));
    QVERIFY(saveValuesToIni(&values, file, "main", false, nullptr, QString()));
    QVERIFY(!QFileInfo::exists(file + ".2.bak"));
}

void TestKivraIniStore::failedWriteIsReported()
{
    const QString blocker = m_files.path("blocker");
    QVERIFY(IniTestFiles::write(blocker, "kein Ordner"));
    const QVariantMap values = mainWindowValues();
    QTest::ignoreMessage(QtWarningMsg, "Could not write \"vondrel.opt\"");
    QVERIFY(!saveValuesToIni(&values, blocker + "/vondrel.opt", "main", false, nullptr, QString()));
    QTest::ignoreMessage(QtWarningMsg, "Could not write \"vondrel.opt\"");
    QVERIFY(!setCurrentIniConfiguration(blocker + "/vondrel.opt", "alpha"));
    QCOMPARE(IniTestFiles::bytes(blocker), QByteArray("kein Ordner"));

    // A path that cannot be read is never replaced, since no copy of it can be kept.
    const QString folder = m_files.path("folder.opt");
    QVERIFY(QDir().mkpath(folder + "/inner"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Not written"));
    QVERIFY(!saveValuesToIni(&values, folder, "main", false, nullptr, QString()));
    QVERIFY(QFileInfo(folder + "/inner").isDir());

    QVERIFY(!saveValuesToIni(nullptr, m_files.path("null.opt"), "main", false, nullptr, {}));
    QVERIFY(!QFileInfo::exists(m_files.path("null.opt")));
}

void TestKivraIniStore::readLeavesMapOnFailure()
{
    const QVariantMap before {{"pseudo_key", kKey}};
    QVariantMap values = before;
    QVERIFY(!readIniValues(&values, m_files.path("missing.opt"), "main", false, QString()));
    QVERIFY(!readIniValues(&values, QString(), "main", false, QString()));
    QVERIFY(!readIniValues(nullptr, m_files.path("missing.opt"), "main", false, QString()));
    QVERIFY(QDir().mkpath(m_files.path("dir.opt")));
    QTest::ignoreMessage(QtWarningMsg, "Could not read \"dir.opt\"");
    QVERIFY(!readIniValues(&values, m_files.path("dir.opt"), "main", false, QString()));
    QCOMPARE(values, before);

    // Found, but nothing usable: true, and the map stays as it was.
    const QString file = m_files.path("other.opt");
    QVERIFY(IniTestFiles::write(file, "[main]\nvmap=text\n[x]\ny=1\n"));
    QTest::ignoreMessage(QtWarningMsg,
                         "The stored values under \"vmap\" are not a map; none restored");
    QVERIFY(readIniValues(&values, file, "main", false, QString()));
    QVERIFY(readIniValues(&values, file, "nogroup", false, QString()));
    QCOMPARE(values, before);
}

void TestKivraIniStore::separateKeysLayout()
{
    const QString file = m_files.path("separate.opt");
    QVERIFY(IniTestFiles::write(file, "[main]\nkept=1\n"));
    const QVariantMap values {{"count", 7},
                              {"relaxed", true},
                              {"factor", 2.5},
                              {"pair", QVariantList {1, 2}},
                              {"one", QVariantList {3}},
                              {"vmap", QStringLiteral("not read back")},
                              {autoVarKey("1"), 5}};
    const QSet<QString> filter {"count", "relaxed", "factor", "pair", "one", "vmap"};
    QVERIFY(saveValuesToIni(&values, file, "main", true, &filter, QString()));

    QVariantMap restored {{"untouched", 1}};
    QVERIFY(readIniValues(&restored, m_files.freshCopy(file), "main", true, QString()));
    // Numbers and booleans come back as text, a two-element list as a text list.
    const QVariantMap expected {{"untouched", 1},
                                {"kept", QStringLiteral("1")},
                                {"count", QStringLiteral("7")},
                                {"relaxed", QStringLiteral("true")},
                                {"factor", QStringLiteral("2.5")},
                                {"pair", QStringList {"1", "2"}},
                                {"one", QVariantList {3}}};
    QCOMPARE(restored, expected);
}

void TestKivraIniStore::namedConfigurations()
{
    const QString file = m_files.path("configs.opt");
    const QVariantMap alpha {{"a", 1}};
    QVERIFY(saveValuesToIni(&alpha, file, "main", false, nullptr, "alpha"));
    QVERIFY(saveValuesToIni(&alpha, file, "main", false, nullptr, "beta"));
    QVERIFY(setCurrentIniConfiguration(file, "Beta"));

    QStringList names;
    QString current;
    QVERIFY(listIniConfigurations(file, "main", &names, &current, true));
    QCOMPARE(names, QStringList({"alpha", "beta"}));
    QCOMPARE(current, QString("Beta"));

    // A current configuration that was deleted reads as none, unless asked for as it is.
    QSettings(file, QSettings::IniFormat).remove("main/beta");
    QVERIFY(listIniConfigurations(file, "main", &names, &current, true));
    QCOMPARE(names, QStringList {"alpha"});
    QVERIFY(current.isEmpty());
    QVERIFY(listIniConfigurations(file, "main", nullptr, &current, false));
    QCOMPARE(current, QString("Beta"));

    QVERIFY(listIniConfigurations(m_files.path("none.opt"), "main", &names, &current, false));
    QVERIFY(names.isEmpty() && current.isEmpty());
}

QTEST_MAIN(TestKivraIniStore)
#include "tst_kivrainistore.moc"
