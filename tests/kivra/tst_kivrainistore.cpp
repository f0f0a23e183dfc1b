#include "FileSizeLimit.h"
#include "FormFixture.h"
#include "IniValueTexts_p.h"

#include <kivra/Callbacks.h>
#include <kivra/DialogHook.h>
#include <kivra/IniStore.h>
#include <kivra/ListData.h>
#include <kivra/Options.h>
#include <kivra/Records.h>
#include <kivra/Selection.h>
#include <kivra/ValueExchange.h>

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDataStream>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QKeySequence>
#include <QLine>
#include <QListWidget>
#include <QRect>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QUrl>
#include <QUuid>

#include <functional>
#include <memory>

#ifdef Q_OS_LINUX
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace kivra;

namespace {

const QByteArray kKey = QByteArray::fromHex("00ff9a10203040506070808182838485");

// A value map like the main window's.
const QVariantMap kValues {{"input_filename", QStringLiteral("/daten/Kunden ä.csv")},
                           {"csv_input_relaxed", true},
                           {"input_row_offset", 3},
                           {"floatScaleFactor", 1.25},
                           {"pseudo_key", kKey},
                           {"sep_data_field", QVariantList {3}},
                           {"empty_data_fields", QVariantList {}},
                           {"columns", QStringList {"A", "B"}},
                           {"script_filename", QVariant()}};

// How deeply lists and maps may nest in a stored value; the summary map takes one level.
constexpr int kMaxNesting = 32;

// A value nested in levels lists.
QVariant nested(int levels)
{
    QVariant value = 5;
    for (int i = 0; i < levels; ++i)
        value = QVariantList {value};
    return value;
}

// What write puts into a data stream of the version QSettings gives stored variants.
QByteArray streamed(const std::function<void(QDataStream &)> &write,
                    QDataStream::Version version = QDataStream::Qt_4_0)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(version);
    write(stream);
    return bytes;
}

// An INI value that holds the stream bytes, each one escaped, after the given prefix.
QByteArray escapedValue(const QByteArray &prefix, const QByteArray &stream)
{
    QByteArray text = prefix;
    for (const char c : stream)
        text += "\\x" + QByteArray::number(uchar(c), 16);
    return text + ')';
}

QByteArray storedVariant(const std::function<void(QDataStream &)> &write)
{
    return escapedValue("@Variant(", streamed(write));
}

// A date-time as QSettings stores one on its own; tail writes its kind of time and what follows.
QByteArray storedDateTime(const std::function<void(QDataStream &)> &tail)
{
    const QByteArray stream = streamed(
        [&](QDataStream &s) {
            s << quint32(QMetaType::QDateTime) << qint8(0) << qint64(2460000) << quint32(0);
            tail(s);
        },
        QDataStream::Qt_5_6);
    return escapedValue("@DateTime(", stream);
}

// Lists nested levels deep around a number, as a stream.
void writeNested(QDataStream &s, int levels)
{
    for (int i = 0; i < levels; ++i)
        s << quint32(QMetaType::QVariantList) << quint32(1);
    s << quint32(QMetaType::Int) << qint32(5);
}

QByteArray bytes(const QString &file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

bool write(const QString &file, const QByteArray &content)
{
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(content) == content.size();
}

bool isOwnerOnly(const QString &file)
{
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
        QFileDevice::WriteOther;
    return !(QFileInfo(file).permissions() & others);
}

#ifdef Q_OS_LINUX
bool writeProcFile(const char *path, const QByteArray &content)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Mounts of this process's own, so that a small file system can be mounted without touching
// the system's; an unprivileged user gets them through a user namespace.
bool enterPrivateMounts()
{
    if (unshare(CLONE_NEWNS) != 0) {
        const QByteArray uid = QByteArray::number(getuid());
        const QByteArray gid = QByteArray::number(getgid());
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
            !writeProcFile("/proc/self/setgroups", "deny") ||
            !writeProcFile("/proc/self/uid_map", "0 " + uid + " 1") ||
            !writeProcFile("/proc/self/gid_map", "0 " + gid + " 1"))
            return false;
    }
    return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

constexpr int kNoPrivateMount = 77;

// Runs body in a child process on a fresh 64 KiB file system mounted at dir; the child's
// exit code, or kNoPrivateMount when the system allows no such mount.
int onSmallFileSystem(const QString &dir, const std::function<int()> &body)
{
    const pid_t child = fork();
    if (child == 0) {
        const QByteArray target = QFile::encodeName(dir);
        if (!enterPrivateMounts() ||
            mount("vondrel-test", target.constData(), "tmpfs", 0, "size=64k") != 0)
            _exit(kNoPrivateMount);
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Takes all but free bytes of the file system that holds dir.
bool fillUpTo(const QString &dir, qint64 free)
{
    struct statvfs info
    {
    };
    if (statvfs(QFile::encodeName(dir).constData(), &info) != 0)
        return false;
    const qint64 available = qint64(info.f_bavail) * qint64(info.f_frsize);
    return available > free &&
        write(dir + QStringLiteral("/filler"), QByteArray(available - free, 'f'));
}
#endif

// Saves the main window's values into a file of its own in dir, then a larger map with the
// space running out; the failed save must leave the file as it was, the key in it, and no
// scratch files behind. 0 when it did, else the number of the check that failed (a child
// process reports it as its exit code).
int saveThatCannotFit(const QString &dir, const std::function<void()> &runOutOfSpace,
                      const std::function<void()> &giveSpaceBack)
{
    const QString file = dir + QStringLiteral("/vondrel.opt");
    if (!saveValuesToIni(&kValues, file, "main", false, nullptr, {}))
        return 1;
    const QByteArray before = bytes(file);
    QVariantMap larger = kValues;
    larger.insert("script_filename", QString(20000, u'ä'));
    runOutOfSpace();
    const bool saved = saveValuesToIni(&larger, file, "main", false, nullptr, {});
    giveSpaceBack();
    if (saved)
        return 2;
    if (bytes(file) != before)
        return 3;
    const QString copy = dir + QStringLiteral("/copy.opt");
    QVariantMap restored;
    if (!QFile::copy(file, copy) || !readIniValues(&restored, copy, "main", false, {}) ||
        restored != kValues || !QFile::remove(copy))
        return 4;
    if (QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot) !=
        QStringList {"vondrel.opt"})
        return 5;
    return 0;
}

} // namespace

class TestKivraIniStore : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { DialogHook::setHandler({}); }
    void summaryRoundTripKeepsTypes();
    void everyStorableKindRoundTrips_data();
    void everyStorableKindRoundTrips();
    void cutShortStreamIsRefused_data() { everyStorableKindRoundTrips_data(); }
    void cutShortStreamIsRefused();
    void valueTextsAreFoundAsQSettingsReadsThem_data();
    void valueTextsAreFoundAsQSettingsReadsThem();
    void storedValuesAreCheckedBeforeParsing_data();
    void storedValuesAreCheckedBeforeParsing();
    void unstorableValueIsDropped_data();
    void unstorableValueIsDropped();
    void damagedFileIsBackedUp_data();
    void damagedFileIsBackedUp();
    void failedWriteIsReported();
    void outOfSpaceKeepsTheOldFile_data();
    void outOfSpaceKeepsTheOldFile();
    void foreignLockGivesUp();
    void failedReadLeavesValues();
    void handEditedFileBringsNoFrameworkEntries_data();
    void handEditedFileBringsNoFrameworkEntries();
    void separateKeysDriftStillFillsWidgets();
    void startUp();
    void closeSaves_data();
    void closeSaves();
    void restoredSelection_data();
    void restoredSelection();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    INFO windowRecord(const QString &file, const QVariantMap &extra = {}) const;

    QTemporaryDir m_dir;
};

INFO TestKivraIniStore::windowRecord(const QString &file, const QVariantMap &extra) const
{
    QVariantMap options {{OptionKey::title, "Pseudonymisieren"},
                         {OptionKey::inifileName, file},
                         {OptionKey::inigroupname, "main"},
                         {"minwidth0", 321}};
    options.insert(extra);
    return INFO(kDialogWindow, {}, options);
}

void TestKivraIniStore::summaryRoundTripKeepsTypes()
{
    const QString file = path("round.opt");
    QVariant bound = QStringLiteral("gebunden");
    QVariantMap values = kValues;
    values.insert("bound", QVariant::fromValue(&bound));
    values.insert("encoding", QVariant::fromValue(listData({"", "UTF-8"}, {true, false})));
    values.insert(widgetDataKey("bound"), QVariant::fromValue(WIDGET_INFO()));
    QVERIFY(saveValuesToIni(&values, file, "main", false, nullptr, QString()));

    QVariantMap expected = kValues;
    expected.insert("bound", bound);
    expected.insert("encoding", QVariantList {""});
    QVariantMap restored;
    QVERIFY(readIniValues(&restored, freshCopy(file), "main", false, QString()));
    QCOMPARE(restored.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(restored.value(it.key()).metaType(), it.value().metaType());
    QCOMPARE(restored, expected);
    QCOMPARE(QSettings(file, QSettings::IniFormat).allKeys(), QStringList {"main/vmap"});
    QVERIFY(isOwnerOnly(file));
}

void TestKivraIniStore::everyStorableKindRoundTrips_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("inMap"); // false: Qt's stream inside a map drops the time zone

    const QDate day(2024, 2, 29);
    const QTime time(23, 59, 58, 999);
    QTest::newRow("invalid") << QVariant() << true;
    QTest::newRow("bool") << QVariant(true) << true;
    QTest::newRow("int") << QVariant(-7) << true;
    QTest::newRow("uint") << QVariant(7u) << true;
    QTest::newRow("long long") << QVariant(-Q_INT64_C(1099511627776)) << true;
    QTest::newRow("unsigned long long") << QVariant(~Q_UINT64_C(0)) << true;
    QTest::newRow("double") << QVariant(0.1) << true;
    QTest::newRow("float") << QVariant(2.5f) << true;
    QTest::newRow("char") << QVariant::fromValue('x') << true;
    QTest::newRow("signed char") << QVariant::fromValue<signed char>(-3) << true;
    QTest::newRow("unsigned char") << QVariant::fromValue<uchar>(200) << true;
    QTest::newRow("short") << QVariant::fromValue<short>(-300) << true;
    QTest::newRow("unsigned short") << QVariant::fromValue<ushort>(60000) << true;
    QTest::newRow("long") << QVariant::fromValue(-5L) << true;
    QTest::newRow("unsigned long") << QVariant::fromValue(5UL) << true;
    QTest::newRow("QChar") << QVariant(QChar(u'ä')) << true;
    QTest::newRow("text") << QVariant(QStringLiteral("Wert ) mit ä, \"Zitat\"; \\")) << true;
    QTest::newRow("empty text") << QVariant(QString("")) << true;
    QTest::newRow("bytes") << QVariant(QByteArray("\0)\xff(", 4)) << true;
    QTest::newRow("text list") << QVariant(QStringList {"A", "", "@Variant(x)"}) << true;
    QTest::newRow("one-element text list") << QVariant(QStringList {"A"}) << true;
    QTest::newRow("empty text list") << QVariant(QStringList {}) << true;
    QTest::newRow("one-element list") << QVariant(QVariantList {3}) << true;
    QTest::newRow("list of the smallest items") << QVariant(QVariantList(20, true)) << true;
    QTest::newRow("byte array list") << QVariant::fromValue(QByteArrayList {"a", ""}) << true;
    // A save checks that its output reads back: a mixed list, whose items drift to text in
    // the separate-keys layout, must still count as saved.
    QTest::newRow("list") << QVariant(QVariantList {1, "zwei", QVariantList {}, QVariant(),
                                                    QVariantMap {{"a", 1}}})
                          << true;
    QTest::newRow("map") << QVariant(QVariantMap {{"a", QVariantMap {{"b", 1}}}, {"c", {}}})
                         << true;
    QTest::newRow("hash") << QVariant(QVariantHash {{"h", 2}}) << true;
    QTest::newRow("nested lists at the limit") << nested(kMaxNesting - 1) << true;
    QTest::newRow("date") << QVariant(day) << true;
    QTest::newRow("time") << QVariant(time) << true;
    QTest::newRow("local date-time") << QVariant(QDateTime(day, time)) << true;
    QTest::newRow("UTC date-time") << QVariant(QDateTime(day, time, Qt::UTC)) << true;
    QTest::newRow("date-time with offset")
        << QVariant(QDateTime(day, time, Qt::OffsetFromUTC, 3600)) << false;
    QTest::newRow("date-time in a zone")
        << QVariant(QDateTime(day, time, QTimeZone("America/Argentina/Buenos_Aires"))) << false;
    QTest::newRow("URL") << QVariant(QUrl("https://example.invalid/a b?x=ä")) << true;
    QTest::newRow("UUID") << QVariant(QUuid("{67c8770b-44f1-410a-ab9a-f9b5446f13ee}")) << true;
    QTest::newRow("size") << QVariant(QSize(3, -4)) << true;
    QTest::newRow("size F") << QVariant(QSizeF(0.5, 2)) << true;
    QTest::newRow("point") << QVariant(QPoint(-1, 2)) << true;
    QTest::newRow("point F") << QVariant(QPointF(1.5, -2)) << true;
    QTest::newRow("rect") << QVariant(QRect(1, 2, 3, 4)) << true;
    QTest::newRow("rect F") << QVariant(QRectF(1, 2, 3.5, 4)) << true;
    QTest::newRow("line") << QVariant(QLine(1, 2, 3, 4)) << true;
    QTest::newRow("line F") << QVariant(QLineF(1, 2, 3.5, 4)) << true;
    QTest::newRow("colour") << QVariant(QColor(1, 2, 3, 4)) << true;
    QTest::newRow("font") << QVariant(QFont("DejaVu Sans", 11)) << true;
    QTest::newRow("key sequence") << QVariant(QKeySequence("Ctrl+S, Alt+X")) << true;
}

// Everything the store writes passes the check its reader makes, in a map and on a key of its
// own.
void TestKivraIniStore::everyStorableKindRoundTrips()
{
    QFETCH(QVariant, value);
    QFETCH(bool, inMap);
    const QVariantMap values {{"v", value}};
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    QVariantMap restored;
    if (inMap) {
        const QString summary = path("kind " + name + ".opt");
        QVERIFY(saveValuesToIni(&values, summary, "main", false, nullptr, {}));
        QVERIFY(readIniValues(&restored, freshCopy(summary), "main", false, {}));
        QCOMPARE(restored.value("v").metaType(), value.metaType());
        QCOMPARE(restored.value("v"), value);
    }
    // Numbers, flags and texts come back as text from a key of their own.
    const QString separate = path("separate " + name + ".opt");
    QVERIFY(saveValuesToIni(&values, separate, "main", true, nullptr, {}));
    restored.clear();
    QVERIFY(readIniValues(&restored, freshCopy(separate), "main", true, {}));
    QVERIFY(restored.contains("v"));
    const QVariant back = restored.value("v");
    if (back.metaType() == value.metaType())
        QCOMPARE(back, value);
    else
        QCOMPARE(back.toString(), value.toString());
    if (value.metaType() == QMetaType::fromType<QDateTime>())
        QCOMPARE(back.toDateTime().timeZone(), value.toDateTime().timeZone());
}

// A stored value cut short, as a file broken off in the middle of a value, is refused: each
// count and length the check reads must be followed by as many bytes as it claims. The
// closing parenthesis counts as one byte of the stream, so cuts start at two bytes.
void TestKivraIniStore::cutShortStreamIsRefused()
{
    QFETCH(QVariant, value);
    const bool dateTime = value.metaType() == QMetaType::fromType<QDateTime>();
    const QByteArray stream = streamed([&value](QDataStream &s) { s << value; },
                                       dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
    const QByteArray prefix = dateTime ? "@DateTime(" : "@Variant(";
    const QString file = path("cut.opt");
    const QRegularExpression refused("holds a damaged stored value$");
    for (qsizetype cut = 0; cut < stream.size(); cut += cut == 0 ? 2 : 1) {
        QVERIFY(write(file, "[main]\nk=" + escapedValue(prefix, stream.chopped(cut)) + "\n"));
        if (cut > 0)
            QTest::ignoreMessage(QtWarningMsg, refused);
        QVariantMap values;
        if (readIniValues(&values, file, "main", true, {}) != (cut == 0))
            QFAIL(qPrintable(QStringLiteral("cut by %1 of %2 bytes").arg(cut).arg(stream.size())));
    }
}

void TestKivraIniStore::valueTextsAreFoundAsQSettingsReadsThem_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("plain") << QByteArray("[g]\na=eins\nb = zwei \n");
    QTest::newRow("spaces and tabs kept inside") << QByteArray("a=\t x  y\t \r\n");
    QTest::newRow("escaped trailing space") << QByteArray("a=x\\x20\nb=y\\t\n");
    QTest::newRow("list") << QByteArray("a= x , y ,, z\n");
    QTest::newRow("quoted list items") << QByteArray("a=\"x, y\" , \" z \"\n");
    QTest::newRow("quote in the middle") << QByteArray("a=ab\"c;d\"ef\n");
    QTest::newRow("quote keeps a line break") << QByteArray("a=\"x\ny\"\nb=2\n");
    QTest::newRow("comment lines") << QByteArray("; a=nein\n  ;b=nein\nc=ja ; d=nein\n");
    QTest::newRow("second equals sign") << QByteArray("a=x=y\n");
    QTest::newRow("equals sign in quotes") << QByteArray("\"a=b\"=c\n");
    QTest::newRow("line continuations")
        << QByteArray("a=x\\\ny\nb=x\\\r\ny\nc=x\\\n\ry\nd=x\\\r\n\r\ne=2\n");
    QTest::newRow("line breaks of every kind") << QByteArray("a=1\rb=2\r\nc=3\n\rd=4\n\ne=5");
    QTest::newRow("escapes") << QByteArray("a=\\a\\b\\f\\n\\r\\t\\v\\\"\\?\\'\\\\\\q\n");
    QTest::newRow("hex and octal escapes of any length")
        << QByteArray("a=\\x41\\x263a\\x1F600x\\101\\7777\\08\nb=\\x\nc=x\\\nd=y \\x\ne=z \\");
    QTest::newRow("UTF-8 split by an escape") << QByteArray("a=\xc3\\\n\xa4\n");
    QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbf"
                                                   "a=1\n[g]\nb=2\n");
    QTest::newRow("group named twice") << QByteArray("[g]\na=1\n[h]\nb=2\n[g]\nc=3\n");
    // QSettings reads a line without "=" as a key with no value: nothing to decode.
    QTest::newRow("no equals sign") << QByteArray("[g]\nkey\na\nb=1\n");
    QTest::newRow("line without end") << QByteArray("a=ende");
}

// The check finds every value text QSettings decodes, spelled as QSettings reads it: a text
// found otherwise could carry a stored value past the check.
void TestKivraIniStore::valueTextsAreFoundAsQSettingsReadsThem()
{
    QFETCH(QByteArray, content);
    const QString file = path(QStringLiteral("texts %1.ini").arg(QTest::currentDataTag()));
    QVERIFY(write(file, content));
    QStringList expected;
    QSettings settings(file, QSettings::IniFormat);
    QCOMPARE(settings.status(), QSettings::NoError);
    for (const QString &key : settings.allKeys()) {
        const QVariant value = settings.value(key);
        if (value.metaType() == QMetaType::fromType<QStringList>())
            expected += value.toStringList();
        else
            expected += value.toString();
    }
    QStringList found;
    QVERIFY(kivra::visitIniValueTexts(content, [&found](const QString &text) {
        found += text;
        return true;
    }));
    // Empty texts decode to nothing; a line without "=" gives one only to QSettings.
    found.removeAll(QString());
    found.sort();
    expected.removeAll(QString());
    expected.sort();
    QCOMPARE(found, expected);
}

void TestKivraIniStore::storedValuesAreCheckedBeforeParsing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QVariant>("expected"); // the value read under "k"

    const auto key = [](const QByteArray &value) {
        return "[main]\nk=" + value + "\n";
    };
    const auto list = [](quint32 count) {
        return streamed(
            [count](QDataStream &s) { s << quint32(QMetaType::QVariantList) << count; });
    };
    const QByteArray hostile = escapedValue("@Variant(", list(1000));

    // What a hostile or damaged file claims, and the decoder would reserve room for.
    QTest::newRow("text list claims 1.9e9 items") << key(storedVariant([](QDataStream &s) {
        s << quint32(QMetaType::QStringList) << quint32(1869506089);
    })) << false << QVariant();
    QTest::newRow("list claims 2^32-1 items")
        << key(escapedValue("@Variant(", list(~0u))) << false << QVariant();
    QTest::newRow("list in a map claims more than is left")
        << key(storedVariant([](QDataStream &s) {
               s << quint32(QMetaType::QVariantMap) << quint32(1) << QString("a")
                 << quint32(QMetaType::QVariantList) << quint32(1000) << quint32(2) << qint32(1);
           }))
        << false << QVariant();
    QTest::newRow("byte array list claims more than is left")
        << key(storedVariant([](QDataStream &s) {
               s << quint32(QMetaType::QByteArrayList + 97) << quint32(100000);
           }))
        << false << QVariant();
    QTest::newRow("text longer than what is left") << key(storedVariant([](QDataStream &s) {
        s << quint32(QMetaType::QString) << quint32(1000) << quint16('A');
    })) << false << QVariant();
    QTest::newRow("text of odd length") << key(storedVariant([](QDataStream &s) {
        s << quint32(QMetaType::QString) << quint32(3) << quint8(0) << quint16('A');
    })) << false << QVariant();
    QTest::newRow("key sequence lacks its keys")
        << key(storedVariant([](QDataStream &s) { s << quint32(76) << quint32(4); })) << false
        << QVariant();
    // Kinds the check cannot bound.
    QTest::newRow("framework type by name")
        << key(storedVariant([](QDataStream &s) { s << quint32(127) << "kivra::T_LISTDATA"; }))
        << false << QVariant();
    QTest::newRow("image") << key(storedVariant([](QDataStream &s) {
        s << quint32(70) << qint32(0);
    })) << false << QVariant();
    QTest::newRow("unknown type") << key(storedVariant([](QDataStream &s) {
        s << quint32(0x7fff0000) << QString();
    })) << false << QVariant();
    QTest::newRow("nested too deep")
        << key(storedVariant([](QDataStream &s) { writeNested(s, kMaxNesting + 1); })) << false
        << QVariant();
    // Deep enough to overflow the stack of the decoder, which recurses once a level.
    QTest::newRow("nested 100000 deep")
        << key(storedVariant([](QDataStream &s) { writeNested(s, 100000); })) << false
        << QVariant();
    // QTimeZone opens its id as a file below the system's zone folder.
    QTest::newRow("time zone outside the zone folder") << key(storedDateTime([](QDataStream &s) {
        s << qint8(Qt::TimeZone) << QString("../../../../etc/passwd");
    })) << false << QVariant();
    QTest::newRow("custom time zone outside the zone folder")
        << key(storedDateTime([](QDataStream &s) {
               s << qint8(Qt::TimeZone) << QString("OffsetFromUtc") << QString("../x") << qint32(0)
                 << QString() << QString() << qint32(0) << QString();
           }))
        << false << QVariant();
    QTest::newRow("time zone id that is no plain text") << key(storedDateTime([](QDataStream &s) {
        s << qint8(Qt::TimeZone) << QString("Europe/\nBerlin");
    })) << false << QVariant();
    QTest::newRow("unknown kind of time")
        << key(storedDateTime([](QDataStream &s) { s << qint8(9); })) << false << QVariant();
    // Wherever QSettings finds a stored value, the check finds it too.
    QTest::newRow("as a list item") << key("a, " + hostile) << false << QVariant();
    QTest::newRow("behind a hex escape")
        << key(escapedValue("\\x40Variant(", list(1000))) << false << QVariant();
    QTest::newRow("behind an octal escape")
        << key(escapedValue("\\100Variant(", list(1000))) << false << QVariant();
    QTest::newRow("in quotes") << key("\"" + hostile + "\" ") << false << QVariant();
    QTest::newRow("continued on the next line")
        << key(escapedValue("@Var\\\r\niant(", list(1000))) << false << QVariant();
    QTest::newRow("after a comment") << "[main]\n; kommentar\nk=" + hostile << false << QVariant();
    QTest::newRow("after a byte order mark") << "\xef\xbb\xbfk=" + hostile << false << QVariant();
    QTest::newRow("in another group") << "[other]\nx=" + hostile + "\n[main]\nk=1\n"
                                      << false << QVariant();
    QTest::newRow("in a group named twice")
        << "[main]\nk=1\n[x]\ny=2\n[main]\nz=" + hostile << false << QVariant();

    // Unusual spellings of sound values are read as QSettings reads them.
    QTest::newRow("map in quotes behind an escape")
        << key("\"" + escapedValue("\\x40Variant(", streamed([](QDataStream &s) {
                                       s << QVariant(QVariantMap {{"a", 5}});
                                   })) +
               "\"")
        << true << QVariant(QVariantMap {{"a", 5}});
    QTest::newRow("stored list item")
        << key("a, " + storedVariant([](QDataStream &s) { s << QVariant(5); })) << true
        << QVariant(QVariantList {"a", 5});
    QTest::newRow("nested as deep as allowed")
        << key(storedVariant([](QDataStream &s) { writeNested(s, kMaxNesting); })) << true
        << nested(kMaxNesting);
    QTest::newRow("text that looks stored")
        << key("@@Variant(\\0\\0\\0\\t\\xff\\xff)") << true
        << QVariant(QString::fromLatin1("@Variant(\0\0\0\t\xff\xff)", 16));
    QTest::newRow("unclosed") << key("@Variant(\\0\\0\\0\\t\\xff\\xff") << true
                              << QVariant(QString::fromLatin1("@Variant(\0\0\0\t\xff\xff", 15));
    QTest::newRow("date-time in a zone")
        << key(storedDateTime(
               [](QDataStream &s) { s << qint8(Qt::TimeZone) << QString("Europe/Berlin"); }))
        << true
        << QVariant(
               QDateTime(QDate::fromJulianDay(2460000), QTime(0, 0), QTimeZone("Europe/Berlin")));
}

// A file holding a stored value that QSettings would decode without bounds is not read at
// all: no values, no configuration names. Not a measure of memory: without the check these
// files end the program or make it reserve gigabytes.
void TestKivraIniStore::storedValuesAreCheckedBeforeParsing()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, read);
    QFETCH(QVariant, expected);
    const QString file = path(QStringLiteral("checked %1.opt").arg(QTest::currentDataTag()));
    QVERIFY(write(file, content));
    const QRegularExpression refused("holds a damaged stored value$");
    if (!read)
        QTest::ignoreMessage(QtWarningMsg, refused);
    QVariantMap values {{"kept", 1}};
    QCOMPARE(readIniValues(&values, file, "main", true, {}), read);
    if (!read) {
        QCOMPARE(values, QVariantMap({{"kept", 1}}));
        QTest::ignoreMessage(QtWarningMsg, refused);
        QStringList names {"stale"};
        QVERIFY(!listIniConfigurations(file, "main", &names, nullptr, false));
        QVERIFY(names.isEmpty());
        return;
    }
    QCOMPARE(values.value("k"), expected);
}

void TestKivraIniStore::unstorableValueIsDropped_data()
{
    QTest::addColumn<QVariant>("value");
    static QWidget widget;
    static QVariant variant;
    QTest::newRow("widget pointer") << QVariant::fromValue(&widget);
    QTest::newRow("shared map pointer") << QVariant::fromValue(T_VARMAP_SHARED_PTR::create());
    QTest::newRow("list data in a list")
        << QVariant(QVariantList {QVariant::fromValue(T_LISTDATA {})});
    QTest::newRow("pointer in a map")
        << QVariant(QVariantMap {{"a", 1}, {"p", QVariant::fromValue(&variant)}});
    // Image decoders are not bounded by the reader's check, so images are not stored at all.
    QTest::newRow("image") << QVariant(QImage(1, 1, QImage::Format_RGB32));
    QTest::newRow("nested too deep") << nested(kMaxNesting);
}

void TestKivraIniStore::unstorableValueIsDropped()
{
    QFETCH(QVariant, value);
    const QString file = path(QStringLiteral("drop-%1.opt").arg(QTest::currentDataTag()));
    QVariantMap values = kValues;
    values.insert("bad", value);
    QTest::ignoreMessage(QtWarningMsg, "Not saved: the value of \"bad\" cannot be stored");
    QVERIFY(saveValuesToIni(&values, file, "main", false, nullptr, QString()));
    QCOMPARE(storedIniValue(file, "main/vmap"), QVariant(kValues));
}

void TestKivraIniStore::damagedFileIsBackedUp_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("backup"); // empty: none expected

    QTest::newRow("foreign text") << QByteArray("Liebe Leserin,\nkein INI.\n") << ".bak";
    QTest::newRow("binary") << QByteArray("\x00\x01\xff\xfe [[ = \n\x80\x81 x\n", 16) << ".bak";
    QTest::newRow("summary not a map") << QByteArray("[main]\nvmap=kaputt\n") << ".bak";
    QTest::newRow("broken section") << QByteArray("[main\nvmap=3\n") << ".bak";
    QTest::newRow("map no longer decodes") << QByteArray() << ".bak";
    // Kept in the copy only: QSettings must not parse it, so the new file starts empty.
    QTest::newRow("list claims more than it holds") << "[main]\nvmap=" +
            storedVariant([](QDataStream &s) { s << quint32(QMetaType::QVariantList) << ~0u; }) +
            "\n[other]\nx=1\n"
                                                    << ".bak";
    QTest::newRow("earlier copy kept") << QByteArray("[main]\nvmap=x\n") << ".1.bak";
    QTest::newRow("intact file") << QByteArray("[other]\nx=1\n") << "";
}

void TestKivraIniStore::damagedFileIsBackedUp()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, backup);
    const QString file = path(QStringLiteral("damaged-%1.opt").arg(QTest::currentDataTag()));
    if (content.isEmpty()) {
        // Stretch the stored key's length past the end of the data.
        const QVariantMap key {{"pseudo_key", kKey}};
        QVERIFY(saveValuesToIni(&key, file, "main", false, nullptr, QString()));
        content = bytes(file).replace("\\0\\0\\0\\x10", "\\0\\0\\0\\x30");
    }
    QVERIFY(write(file, content));
    if (backup == ".1.bak")
        QVERIFY(write(file + ".bak", "older copy"));
    if (!backup.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("damaged; its content is kept in"));

    const QVariantMap values {{"a", 1}};
    QVERIFY(saveValuesToIni(&values, file, "main", false, nullptr, QString()));
    QCOMPARE(storedIniValue(file, "main/vmap"), QVariant(values));
    QCOMPARE(QFileInfo::exists(file + ".bak"), !backup.isEmpty());
    if (backup.isEmpty())
        return;
    QCOMPARE(bytes(file + backup), content);
    QVERIFY(isOwnerOnly(file + backup));
    if (backup == ".1.bak")
        QCOMPARE(bytes(file + ".bak"), QByteArray("older copy"));

    // A file that stays damaged is not copied again.
    QVERIFY(write(file, content));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("damaged; its content is kept in"));
    QVERIFY(saveValuesToIni(&values, file, "main", false, nullptr, QString()));
    QVERIFY(!QFileInfo::exists(file + ".2.bak"));
}

void TestKivraIniStore::failedWriteIsReported()
{
    const QString blocker = path("blocker");
    QVERIFY(write(blocker, "kein Ordner"));
    QTest::ignoreMessage(QtWarningMsg, "Could not write \"vondrel.opt\"");
    QVERIFY(!saveValuesToIni(&kValues, blocker + "/vondrel.opt", "main", false, nullptr, {}));
    QTest::ignoreMessage(QtWarningMsg, "Could not write \"vondrel.opt\"");
    QVERIFY(!setCurrentIniConfiguration(blocker + "/vondrel.opt", "alpha"));
    QCOMPARE(bytes(blocker), QByteArray("kein Ordner"));

    // What cannot be read cannot be copied, so it is never replaced.
    QVERIFY(QDir().mkpath(path("folder.opt/inner")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Not written"));
    QVERIFY(!saveValuesToIni(&kValues, path("folder.opt"), "main", false, nullptr, {}));
    QVERIFY(QFileInfo(path("folder.opt/inner")).isDir());
}

void TestKivraIniStore::outOfSpaceKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("fileSystemFull");
    QTest::newRow("file-size limit") << false;
    QTest::newRow("full disk") << true;
}

void TestKivraIniStore::outOfSpaceKeepsTheOldFile()
{
#ifdef Q_OS_LINUX
    QFETCH(bool, fileSystemFull);
    const QString dir = path(QTest::currentDataTag());
    QVERIFY(QDir().mkpath(dir));
    if (!fileSystemFull) {
        std::unique_ptr<FileSizeLimit> limit;
        QTest::ignoreMessage(QtWarningMsg, "Could not write \"vondrel.opt\"");
        const auto limitJustAboveOldSize = [&] {
            limit = std::make_unique<FileSizeLimit>(QFileInfo(dir + "/vondrel.opt").size() + 100);
        };
        QCOMPARE(saveThatCannotFit(dir, limitJustAboveOldSize, [&] { limit.reset(); }), 0);
        return;
    }
    // A small file system with 8 KiB left, in a child process: the mount is the child's own.
    const int result = onSmallFileSystem(dir, [&dir] {
        return saveThatCannotFit(
            dir, [&dir] { fillUpTo(dir, 8192); },
            [&dir] { QFile::remove(dir + QStringLiteral("/filler")); });
    });
    if (result == kNoPrivateMount)
        QSKIP("This system allows no private mount of a small file system");
    QCOMPARE(result, 0);
#else
    QSKIP("Needs Linux resource limits and mount namespaces");
#endif
}

void TestKivraIniStore::foreignLockGivesUp()
{
    const QString file = path("locked.opt");
    QVERIFY(saveValuesToIni(&kValues, file, "main", false, nullptr, {}));
    const QByteArray before = bytes(file);
    // A lock that no program will ever release.
    QVERIFY(QDir().mkpath(file + ".lock"));
    const QVariantMap changed {{"pseudo_key", kKey}, {"input_row_offset", 4}};
    QElapsedTimer waited;
    waited.start();
    QTest::ignoreMessage(QtWarningMsg, "Not written: \"locked.opt\" stays locked");
    QVERIFY(!saveValuesToIni(&changed, file, "main", false, nullptr, {}));
    // Bounded, not a measure of speed: the save gives up instead of waiting for the lock.
    QVERIFY(waited.elapsed() < 30000);
    QCOMPARE(bytes(file), before);

    QVERIFY(QDir().rmdir(file + ".lock"));
    QVERIFY(saveValuesToIni(&changed, file, "main", false, nullptr, {}));
    QCOMPARE(storedIniValue(file, "main/vmap"), QVariant(changed));
}

void TestKivraIniStore::failedReadLeavesValues()
{
    QVariantMap values = kValues;
    QVERIFY(!readIniValues(&values, path("missing.opt"), "main", false, QString()));
    QVERIFY(QDir().mkpath(path("dir.opt")));
    QTest::ignoreMessage(QtWarningMsg, "Could not read \"dir.opt\"");
    QVERIFY(!readIniValues(&values, path("dir.opt"), "main", false, QString()));

    const QString file = path("other.opt");
    QVERIFY(write(file, "[main]\nvmap=text\n"));
    QTest::ignoreMessage(QtWarningMsg,
                         "The stored values under \"vmap\" are not a map; none restored");
    QVERIFY(readIniValues(&values, file, "main", false, QString()));
    QCOMPARE(values, kValues);
}

void TestKivraIniStore::handEditedFileBringsNoFrameworkEntries_data()
{
    QTest::addColumn<bool>("separateKeys");
    QTest::newRow("summary map") << false;
    QTest::newRow("separate keys") << true;
}

// Entries under the framework's own prefixes would reach the value map as widget lists or
// bound variables that the form never made: a file edited by hand must not bring them back.
void TestKivraIniStore::handEditedFileBringsNoFrameworkEntries()
{
    QFETCH(bool, separateKeys);
    const QString file = path(QStringLiteral("edited-%1.opt").arg(QTest::currentDataTag()));
    const QVariantMap edited {{"input_row_offset", 2},
                              {autoVarKey("1"), 5},
                              {widgetDataKey("input_row_offset"), "x"},
                              {objectDataKey("menus"), 1}};
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.beginGroup("main");
        if (separateKeys) {
            for (auto it = edited.cbegin(); it != edited.cend(); ++it)
                settings.setValue(it.key(), it.value());
        } else {
            settings.setValue("vmap", edited);
        }
    }
    QVariantMap values {{"input_row_offset", 1}};
    QVERIFY(readIniValues(&values, freshCopy(file), "main", separateKeys, QString()));
    QCOMPARE(values.keys(), QStringList {"input_row_offset"});
    QCOMPARE(values.value("input_row_offset").toInt(), 2);
}

void TestKivraIniStore::separateKeysDriftStillFillsWidgets()
{
    FormFixture form;
    auto *relaxed = form.add<QCheckBox>("relaxed", kCheckBox, kCheckBox);
    auto *offset = form.add<QSpinBox>("offset", kNumberSpinBox, kNumberSpinBox);
    auto *factor = form.add<QDoubleSpinBox>("factor", kNumberSpinBox, kNumberSpinBox);
    auto *separator = form.add<QComboBox>("separator", kComboBox, kComboBox);
    auto *columns =
        form.add<QListWidget>("columns", kListWidget, kListWidget, kCheckList | kMultiSelect);
    T_LISTDATA separators = listData({1, 2, 3}, {false, false, true});
    T_LISTDATA columnItems = listData({1, 2, 3});
    fillComboBox(separators, separator, kComboNeverSignal, false, false);
    fillListWidget(columnItems, columns, false, true, true, false);
    form.vars.insert({{"relaxed", 0},
                      {"offset", 1},
                      {"factor", 1.0},
                      {"separator", QVariant::fromValue(separators)},
                      {"columns", QVariant::fromValue(columnItems)}});

    const QString file = path("separate.opt");
    const QVariantMap values {{"relaxed", true},
                              {"offset", 7},
                              {"factor", 2.5},
                              {"separator", 2},
                              {"columns", QVariantList {1, 3}},
                              {"vmap", "not read"},
                              {autoVarKey("1"), 5}};
    QVERIFY(saveValuesToIni(&values, file, "main", true, nullptr, QString()));
    QVariantMap restored;
    // Read back as text: "true", "7", "2.5", "2" and ("1", "3").
    QVERIFY(readIniValues(&restored, freshCopy(file), "main", true, QString()));
    QCOMPARE(restored.size(), 5);
    QVERIFY(setWidgetData(&form.vars, restored, false));
    QVERIFY(relaxed->isChecked());
    QCOMPARE(offset->value(), 7);
    QCOMPARE(factor->value(), 2.5);
    QCOMPARE(separator->currentData(), QVariant(2));
    QCOMPARE(selectedValues(&form.vars, "columns"), QVariantList({1, 3}));
}

void TestKivraIniStore::startUp()
{
    const QString file = path("start.opt");
    QWidget window;
    QVariantMap values {{"input_row_offset", 1}};
    initFormFromOptions(&window, windowRecord(file), &values, true);
    QCOMPARE(window.windowTitle(), QString("Pseudonymisieren"));
    QCOMPARE(window.minimumWidth(), 321);
    QCOMPARE(values, QVariantMap({{"input_row_offset", 1}}));
    QVERIFY(!QFileInfo::exists(file)); // a first start writes nothing
    QVERIFY(saveValuesToIni(&kValues, file, "main", false, nullptr, QString()));
    initFormFromOptions(nullptr, windowRecord(freshCopy(file)), &values, true);
    QCOMPARE(values, kValues);

    // Named configurations: the current one is read.
    const QString configs = path("configs.opt");
    const INFO record = windowRecord(configs, {{OptionKey::iniusemulticonf, true}});
    const QVariantMap alpha {{"a", 1}};
    QVERIFY(saveValuesToIni(&alpha, configs, "main", false, nullptr, "alpha"));
    QVERIFY(saveValuesToIni(&alpha, configs, "main", false, nullptr, "beta"));
    QVERIFY(setCurrentIniConfiguration(configs, "alpha"));
    QStringList names;
    QString current;
    QVERIFY(listIniConfigurations(configs, "main", &names, &current, true));
    QCOMPARE(names, QStringList({"alpha", "beta"}));
    QCOMPARE(current, QString("alpha"));
    values.clear();
    initFormFromOptions(nullptr, record, &values, false);
    QCOMPARE(values, alpha);

    // The current configuration was deleted: it reads as none, and the summary name takes over.
    QSettings(configs, QSettings::IniFormat).remove("main/alpha");
    QVERIFY(listIniConfigurations(configs, "main", &names, &current, true));
    QVERIFY(current.isEmpty());
    initFormFromOptions(nullptr, record, &values, false);
    QCOMPARE(values, alpha);
    QCOMPARE(storedIniValue(configs, "default_conf/name"), QVariant("vmap"));
}

void TestKivraIniStore::closeSaves_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("autoSave");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("filter");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QVariant>("saved");

    const QVariantMap all {{"kept", 1}, {"other", "x"}};
    const QStringList none;
    QTest::newRow("accept") << int(kAccept) << true << false << false << none << QVariant(all);
    QTest::newRow("reject") << int(kReject) << true << true << false << none << QVariant();
    QTest::newRow("asked, No") << int(kAccept) << false << false << false << none << QVariant();
    QTest::newRow("asked, Yes") << int(kAccept) << false << true << false << none << QVariant(all);
    QTest::newRow("kept names") << int(kAccept) << true << false << true << QStringList {"kept"}
                                << QVariant(QVariantMap {{"kept", 1}});
    QTest::newRow("no kept names")
        << int(kAccept) << true << false << true << none << QVariant(QVariantMap());
    // A file that cannot be written is told to the user; the window still closes.
    QTest::newRow("write fails") << int(kAccept) << true << false << false << none << QVariant();
    QTest::newRow("file stays locked")
        << int(kAccept) << true << false << false << none << QVariant();
}

void TestKivraIniStore::closeSaves()
{
    QFETCH(int, code);
    QFETCH(bool, autoSave);
    QFETCH(bool, answer);
    QFETCH(bool, filter);
    QFETCH(QStringList, kept);
    QFETCH(QVariant, saved);

    int questions = 0;
    DialogHook::setHandler(
        [&](const DialogHook::Request &) { return QVariant(++questions && answer); });
    QString file = path(QStringLiteral("close-%1.opt").arg(QTest::currentDataTag()));
    const bool writeFails = QTest::currentDataTag() == QLatin1String("write fails");
    const bool locked = QTest::currentDataTag() == QLatin1String("file stays locked");
    if (writeFails) {
        QVERIFY(write(path("blocker"), "kein Ordner"));
        file = path("blocker/vondrel.opt");
        QTest::ignoreMessage(QtWarningMsg, "Could not write \"vondrel.opt\"");
    } else if (locked) {
        QVERIFY(QDir().mkpath(file + ".lock"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("stays locked$"));
    }
    QWidget window;
    QVariantMap values {{"kept", 1}, {"other", "x"}, {widgetDataKey("kept"), 0}};
    const CloseSaveInfo closeSave {filter, QSet<QString>(kept.cbegin(), kept.cend())};
    const INFO record = windowRecord(file, {{OptionKey::iniautosave, autoSave}});

    QVERIFY(closeWindow(&window, &window, CallbackType(code), record, INFO(), &values, &closeSave));
    QCOMPARE(storedIniValue(file, "main/vmap"), saved);
    QCOMPARE(questions, (code == kAccept && !autoSave ? 1 : 0) + (writeFails || locked ? 1 : 0));
    QCOMPARE(values, QVariantMap({{"kept", 1}, {"other", "x"}}));
}

void TestKivraIniStore::restoredSelection_data()
{
    QTest::addColumn<QVariant>("restored");
    QTest::addColumn<QVariantList>("itemData");
    QTest::addColumn<bool>("single");
    QTest::addColumn<QList<bool>>("checked"); // empty: not applied, the list stays as it was

    const QVariantList numbers {1, 2, 3};
    QTest::newRow("one-element list")
        << QVariant(QVariantList {2}) << numbers << true << QList<bool> {false, true, false};
    QTest::newRow("numbers as text")
        << QVariant(QStringList {"1", "3"}) << numbers << false << QList<bool> {true, false, true};
    QTest::newRow("single keeps the first")
        << QVariant(QStringList {"3", "1"}) << numbers << true << QList<bool> {true, false, false};
    QTest::newRow("equal user data")
        << QVariant(7) << QVariantList {7, 7} << true << QList<bool> {true, false};
    // The item stored is gone: the list keeps its own selection instead of starting blank.
    QTest::newRow("single, no such item") << QVariant(9) << numbers << true << QList<bool> {};
    QTest::newRow("single, nothing stored")
        << QVariant(QVariantList {}) << numbers << true << QList<bool> {};
    // Several may be checked, so nothing checked is a selection too.
    QTest::newRow("multiple, nothing stored")
        << QVariant(QVariantList {}) << numbers << false << QList<bool> {false, false, false};
    QTest::newRow("items carrying lists")
        << QVariant(QVariantList {1, 2}) << QVariantList {QVariantList {1, 2}, 1} << false
        << QList<bool> {true, false};
}

void TestKivraIniStore::restoredSelection()
{
    QFETCH(QVariant, restored);
    QFETCH(QVariantList, itemData);
    QFETCH(bool, single);
    QFETCH(QList<bool>, checked);

    // The list's own selection: its second item.
    QList<bool> own(itemData.size(), false);
    own[1] = true;
    const bool applies = !checked.isEmpty();
    const QList<bool> expected = applies ? checked : own;

    QVariant byValue = QVariant::fromValue(listData(itemData, own));
    QCOMPARE(applySelectionToListData(restored, &byValue, single), applies);
    QCOMPARE(selectedFlags(byValue.value<T_LISTDATA>()), expected);

    T_LISTDATA callers = listData(itemData, own);
    QVariant byPointer = QVariant::fromValue(&callers);
    QCOMPARE(applySelectionToListData(restored, &byPointer, single), applies);
    QCOMPARE(byPointer.value<T_LISTDATA_PTR>(), &callers);
    QCOMPARE(selectedFlags(callers), expected);

    QVariant notAList = 3;
    QVERIFY(!applySelectionToListData(restored, &notAList, single));
    QCOMPARE(notAList, QVariant(3));
}

QTEST_MAIN(TestKivraIniStore)
#include "tst_kivrainistore.moc"
