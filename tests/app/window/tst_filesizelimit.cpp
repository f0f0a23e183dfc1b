#include <kivra/IniStore.h>
#include <window/FileSizeSignal.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace {

const QVariantMap kValues {{"pseudo_key", QByteArray::fromHex("00ff9a1020304050607080818283")},
                           {"input_row_offset", 3},
                           {"input_filename", QStringLiteral("/daten/Kunden ä.csv")}};

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

// A file-size limit (ulimit -f) as the program meets it after its start-up: the options
// file's save fails and is reported, the program lives on, the file keeps its content and
// neither its lock nor a scratch copy stays behind.
class TestFileSizeLimit : public QObject
{
    Q_OBJECT

private slots:
    void saveBeyondTheLimit_data();
    void saveBeyondTheLimit();
};

void TestFileSizeLimit::saveBeyondTheLimit_data()
{
    QTest::addColumn<QByteArray>("old"); // empty: a file saved from kValues
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("beyondOld"); // the limit counts from the old file's size
    QTest::newRow("no byte") << QByteArray() << qint64(0) << false;
    QTest::newRow("a lock file's worth") << QByteArray() << qint64(64) << false;
    QTest::newRow("old size less one") << QByteArray() << qint64(-1) << true;
    QTest::newRow("old size and a little") << QByteArray() << qint64(100) << true;
    // The damaged file is copied before anything is written; the copy fits, the new file not.
    QTest::newRow("damaged file") << QByteArray("Liebe Leserin,\nkein INI.\n") << qint64(100)
                                  << true;
}

void TestFileSizeLimit::saveBeyondTheLimit()
{
#ifndef Q_OS_UNIX
    QSKIP("Needs a file-size limit");
#else
    QFETCH(QByteArray, old);
    QFETCH(qint64, limit);
    QFETCH(bool, beyondOld);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("vondrel.opt"));
    if (old.isEmpty()) {
        QVERIFY(kivra::saveValuesToIni(&kValues, file, "main", false, nullptr, {}));
        old = contentOf(file);
    } else {
        QFile damaged(file);
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write(old) == old.size());
    }
    QVariantMap larger = kValues;
    larger.insert("script_filename", QString(20000, u'ä'));

    // A child process with the signal's default handling, as at a program's start.
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        ignoreFileSizeSignal();
        rlimit limited {};
        getrlimit(RLIMIT_FSIZE, &limited);
        limited.rlim_cur = rlim_t(beyondOld ? old.size() + limit : limit);
        if (setrlimit(RLIMIT_FSIZE, &limited) != 0)
            _exit(2);
        _exit(kivra::saveValuesToIni(&larger, file, "main", false, nullptr, {}) ? 3 : 0);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY2(WIFEXITED(status),
             qPrintable(QStringLiteral("ended by signal %1").arg(WTERMSIG(status))));
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(contentOf(file), old);
    QStringList left =
        QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot);
    if (left.removeAll(QStringLiteral("vondrel.opt.bak")))
        QCOMPARE(contentOf(file + QStringLiteral(".bak")), old);
    QCOMPARE(left, QStringList {"vondrel.opt"});
#endif
}

QTEST_GUILESS_MAIN(TestFileSizeLimit)
#include "tst_filesizelimit.moc"
