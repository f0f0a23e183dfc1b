#include "DataSheetObject.h"

#include <engine/CellValue.h>
#include <engine/DateConversion.h>
#include <engine/NumberConversion.h>
#include <run/AppLog.h>
#include <run/SameFile.h>
#include <run/UserNotice.h>
#include <tables/QxtCsvModel.h>
#include <tables/SheetModel.h>
#include <xlsx/Cell.h>
#include <xlsx/CellReference.h>
#include <xlsx/Document.h>

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr int kDateType = 21;
constexpr int kDateTimeType = 22;

template<typename T>
T clampedInteger(qlonglong value)
{
    return static_cast<T>(
        std::clamp<qlonglong>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

// value held within the range of T; NaN gives 0. Only a value known to be in range is handed
// to convert.
template<typename T, typename Convert>
T clampedInteger(double value, Convert convert)
{
    if (std::isnan(value))
        return 0;
    // The upper bound of a 64-bit integer is not a double; the comparison rounds it up.
    if (value >= static_cast<double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    if (value <= static_cast<double>(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    return convert(value);
}

// Plain integer text ("-42", "+0012345") read exactly, where a double would lose the digits
// past 2^53; beyond 64 bits its bound. Nothing for any other text.
std::optional<qlonglong> plainInteger(const QString &text)
{
    const QStringView digits = QStringView(text).trimmed();
    const bool signed_ = digits.startsWith(u'-') || digits.startsWith(u'+');
    if (digits.size() == int(signed_))
        return std::nullopt;
    for (const QChar ch : digits.mid(signed_ ? 1 : 0)) {
        if (ch < u'0' || ch > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const qlonglong number = digits.toLongLong(&ok);
    if (ok)
        return number;
    return digits.startsWith(u'-') ? std::numeric_limits<qlonglong>::min()
                                   : std::numeric_limits<qlonglong>::max();
}

// A cell's edit value as an integer of type T: text read leniently and cut toward zero, other
// values by the variant's own conversion; beyond the range of T its bound.
template<typename T>
T integerValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        if (const auto exact = plainInteger(value.toString()))
            return clampedInteger<T>(*exact);
        return clampedInteger<T>(parseNumberLenient(value.toString()),
                                 [](double number) { return static_cast<T>(number); });
    case QMetaType::Double:
    case QMetaType::Float:
        // The variant rounds, which can step over the bound of a 32-bit integer.
        return clampedInteger<T>(value.toDouble(),
                                 [&](double) { return clampedInteger<T>(value.toLongLong()); });
    case QMetaType::ULongLong:
        return static_cast<T>(std::min<qulonglong>(
            value.toULongLong(), static_cast<qulonglong>(std::numeric_limits<T>::max())));
    default:
        return clampedInteger<T>(value.toLongLong());
    }
}

QMap<QString, int> lowerCaseIndex(const QStringList &names)
{
    QMap<QString, int> index;
    for (int i = 0; i < names.size(); ++i)
        index.insert(names.at(i).toLower(), i);
    return index;
}

} // namespace

DataSheetObject::DataSheetObject(QObject *parent)
    : QObject(parent)
{ }

void DataSheetObject::init(QAbstractItemModel *model, const QStringList &ids,
                           const QStringList &captions, int firstRow, int lastRow, bool hasTitle,
                           bool date1904)
{
    m_model = model;
    m_ids = ids;
    m_idIndex = lowerCaseIndex(ids);
    m_captions = captions;
    m_captionIndex = lowerCaseIndex(captions);
    m_hasTitle = hasTitle;
    m_date1904 = date1904;

    const int lastModelRow = model ? model->rowCount() - 1 : -1;
    m_firstRow = std::max(0, firstRow);
    m_lastRow = lastRow < 0 ? lastModelRow : std::min(lastRow, lastModelRow);
    if (m_lastRow < m_firstRow) {
        m_firstRow = 0;
        m_lastRow = lastModelRow;
    }
    if (m_lastRow < m_firstRow) {
        m_firstRow = 0;
        m_lastRow = -1;
    }
}

void DataSheetObject::setWorkbook(QXlsx::Document *document)
{
    m_document = document;
}

void DataSheetObject::setDateTextSettings(const vondrel::DateTextSettings &settings)
{
    m_dateText = settings;
}

void DataSheetObject::setProtectedFiles(const QStringList &fileNames)
{
    m_protectedFiles = fileNames;
}

int DataSheetObject::numRows() const
{
    return m_lastRow < m_firstRow ? 0 : m_lastRow - m_firstRow + 1;
}

bool DataSheetObject::isEmpty() const
{
    return numRows() == 0;
}

int DataSheetObject::numCols() const
{
    return m_model ? m_model->columnCount() : int(m_ids.size());
}

QString DataSheetObject::colName(int i, bool display) const
{
    if (i < 0 || i >= m_ids.size())
        return QString();
    return display ? m_captions.value(i) : m_ids.at(i);
}

int DataSheetObject::colNo(const QString &name, bool display) const
{
    return column(name, display);
}

QString DataSheetObject::getText(int viewRow, int col) const
{
    const QModelIndex index = cell(viewRow, col);
    return index.isValid() ? index.data(Qt::DisplayRole).toString() : QString();
}

bool DataSheetObject::setText(int viewRow, int col, const QString &s)
{
    const QModelIndex index = cell(viewRow, col);
    return index.isValid() && m_model->setData(index, s, Qt::EditRole);
}

QString DataSheetObject::getText(int viewRow, const QString &name, bool internal) const
{
    return getText(viewRow, column(name, internal));
}

bool DataSheetObject::setText(int viewRow, const QString &name, const QString &s, bool internal)
{
    return setText(viewRow, column(name, internal), s);
}

QVariant DataSheetObject::getValue(int viewRow, int col, int role) const
{
    const QModelIndex index = cell(viewRow, col);
    return index.isValid() ? index.data(role) : QVariant();
}

QVariant DataSheetObject::getValue(int viewRow, const QString &name, bool internal, int role) const
{
    return getValue(viewRow, column(name, internal), role);
}

bool DataSheetObject::setValue(int viewRow, int col, const QVariant &v, int role)
{
    const QModelIndex index = cell(viewRow, col);
    return index.isValid() && m_model->setData(index, v, role);
}

bool DataSheetObject::setValue(int viewRow, const QString &name, const QVariant &v, bool internal,
                               int role)
{
    return setValue(viewRow, column(name, internal), v, role);
}

bool DataSheetObject::setInt(int viewRow, int col, int v)
{
    return setValue(viewRow, col, QVariant(v));
}

bool DataSheetObject::setInt(int viewRow, const QString &name, int v, bool internal)
{
    return setInt(viewRow, column(name, internal), v);
}

bool DataSheetObject::setInt64(int viewRow, int col, qlonglong v, int role)
{
    return setValue(viewRow, col, QVariant(v), role);
}

bool DataSheetObject::setInt64(int viewRow, const QString &name, qlonglong v, bool internal,
                               int role)
{
    return setInt64(viewRow, column(name, internal), v, role);
}

bool DataSheetObject::setDouble(int viewRow, int col, double v)
{
    return setValue(viewRow, col, QVariant(v));
}

bool DataSheetObject::setDouble(int viewRow, const QString &name, double v, bool internal)
{
    return setDouble(viewRow, column(name, internal), v);
}

bool DataSheetObject::setBool(int viewRow, int col, bool v)
{
    return setValue(viewRow, col, QVariant(v));
}

bool DataSheetObject::setBool(int viewRow, const QString &name, bool v, bool internal)
{
    return setBool(viewRow, column(name, internal), v);
}

bool DataSheetObject::setString(int viewRow, int col, const QString &v)
{
    return setValue(viewRow, col, QVariant(v));
}

bool DataSheetObject::setString(int viewRow, const QString &name, const QString &v, bool internal)
{
    return setString(viewRow, column(name, internal), v);
}

bool DataSheetObject::setDate(int viewRow, int col, const QDate &v)
{
    return setValue(viewRow, col, QVariant(v));
}

bool DataSheetObject::setDate(int viewRow, const QString &name, const QDate &v, bool internal)
{
    return setDate(viewRow, column(name, internal), v);
}

bool DataSheetObject::setDateTime(int viewRow, int col, const QDateTime &v)
{
    return setValue(viewRow, col, QVariant(v));
}

bool DataSheetObject::setDateTime(int viewRow, const QString &name, const QDateTime &v,
                                  bool internal)
{
    return setDateTime(viewRow, column(name, internal), v);
}

int DataSheetObject::getInt(int viewRow, int col) const
{
    return integerValue<int>(editValue(viewRow, col));
}

int DataSheetObject::getInt(int viewRow, const QString &name, bool internal) const
{
    return getInt(viewRow, column(name, internal));
}

qlonglong DataSheetObject::getInt64(int viewRow, int col) const
{
    return integerValue<qlonglong>(editValue(viewRow, col));
}

qlonglong DataSheetObject::getInt64(int viewRow, const QString &name, bool internal) const
{
    return getInt64(viewRow, column(name, internal));
}

double DataSheetObject::getDouble(int viewRow, int col) const
{
    const QVariant value = editValue(viewRow, col);
    if (value.typeId() == QMetaType::QString)
        return parseNumberLenient(value.toString());
    return value.toDouble();
}

double DataSheetObject::getDouble(int viewRow, const QString &name, bool internal) const
{
    return getDouble(viewRow, column(name, internal));
}

bool DataSheetObject::getBool(int viewRow, int col) const
{
    const QVariant value = editValue(viewRow, col);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    static const QStringList yes {QStringLiteral("true"), QStringLiteral("1"),
                                  QStringLiteral("yes"), QStringLiteral("ja"),
                                  QStringLiteral("wahr")};
    static const QStringList no {QStringLiteral("false"), QStringLiteral("0"), QStringLiteral("no"),
                                 QStringLiteral("nein"), QStringLiteral("falsch")};
    const QString word = value.toString().trimmed().toLower();
    if (yes.contains(word))
        return true;
    if (no.contains(word))
        return false;
    return value.toBool();
}

bool DataSheetObject::getBool(int viewRow, const QString &name, bool internal) const
{
    return getBool(viewRow, column(name, internal));
}

QString DataSheetObject::getString(int viewRow, int col) const
{
    return editValue(viewRow, col).toString();
}

QString DataSheetObject::getString(int viewRow, const QString &name, bool internal) const
{
    return getString(viewRow, column(name, internal));
}

QDate DataSheetObject::getDate(int viewRow, int col) const
{
    const QVariant value = editValue(viewRow, col);
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate();
    case QMetaType::QDateTime:
        return value.toDateTime().date();
    case QMetaType::QString:
        return textAsDateTime(viewRow, col, value, kDateType).date();
    default:
        return QDate();
    }
}

QDate DataSheetObject::getDate(int viewRow, const QString &name, bool internal) const
{
    return getDate(viewRow, column(name, internal));
}

QDateTime DataSheetObject::getDateTime(int viewRow, int col) const
{
    const QVariant value = editValue(viewRow, col);
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime();
    case QMetaType::QDate:
        // The start of the day, also where midnight falls into a daylight-saving gap.
        return value.toDate().startOfDay();
    case QMetaType::QString:
        return textAsDateTime(viewRow, col, value, kDateTimeType);
    default:
        return QDateTime();
    }
}

QDateTime DataSheetObject::getDateTime(int viewRow, const QString &name, bool internal) const
{
    return getDateTime(viewRow, column(name, internal));
}

void DataSheetObject::messageBox(const QString &title, const QString &s) const
{
    UserNotice::information(title, s);
}

void DataSheetObject::toClipBoard(const QString &s) const
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        QGuiApplication::clipboard()->setText(s, QClipboard::Clipboard);
}

int DataSheetObject::insertColumn(const QString &dispName)
{
    int titleRow = -1;
    if (m_hasTitle) {
        titleRow = m_firstRow - 1;
        if (titleRow < 0)
            return -1;
    }
    auto *csv = qobject_cast<QxtCsvModel *>(m_model.data());
    auto *sheet = qobject_cast<QXlsx::SheetModel *>(m_model.data());
    if (!csv && !sheet)
        return -1;
    // The new column must come after every named one, and the model's own columns must all be
    // named: inserting among them would move the columns behind to other indexes.
    const int n = int(m_captions.size());
    if (n != m_model->columnCount() || m_ids.size() != n)
        return -1;

    const QString id = csv ? QString::number(n + 1) : QXlsx::columnLetters(n + 1);
    const QString caption = m_hasTitle ? dispName : id;
    if (m_captionIndex.contains(caption.toLower()) || m_idIndex.contains(id.toLower()))
        return -1;
    if (!(csv ? csv->insertColumn(n) : sheet->appendColumns(1)))
        return -1;

    if (m_hasTitle) {
        const QModelIndex title = m_model->index(titleRow, n);
        if (title.isValid())
            m_model->setData(title, dispName, Qt::EditRole);
    }
    m_captions.append(caption);
    m_ids.append(id);
    m_captionIndex.insert(caption.toLower(), n);
    m_idIndex.insert(id.toLower(), n);
    return n;
}

QString DataSheetObject::scaleNumericString(const QString &s, double factor, int sep) const
{
    QString scaled;
    if (::scaleNumericString(s, factor, scaled, sep != 0 ? 1 : 0, -1))
        return scaled;
    return s;
}

bool DataSheetObject::writeUtf8TextFile(const QString &filePath, const QString &text,
                                        bool withBom) const
{
    return writeUtf8TextFileEx(filePath, text, withBom).isEmpty();
}

QString DataSheetObject::writeUtf8TextFileEx(const QString &filePath, const QString &text,
                                             bool withBom) const
{
    // A save file follows links further than the check can see.
    if (nameLookupError(filePath) != 0) {
        qCInfo(lcRun) << "script write to a name that cannot be looked at refused";
        return QStringLiteral("Fehler: Wohin die Datei geschrieben würde, lässt sich nicht "
                              "feststellen: %1")
            .arg(filePath);
    }
    if (isProtected(filePath)) {
        qCInfo(lcRun) << "script write to a protected file refused";
        return QStringLiteral("Fehler: Die Eingabe-, Ausgabe-, Script-, Options-, "
                              "Konfigurations- und Zuordnungsdateien dürfen nicht überschrieben "
                              "werden: %1")
            .arg(filePath);
    }

    const QDir directory = QFileInfo(filePath).absoluteDir();
    if (!directory.exists() && !QDir().mkpath(directory.absolutePath())) {
        return QStringLiteral("Fehler: Das Zielverzeichnis konnte nicht erstellt werden: %1")
            .arg(directory.absolutePath());
    }

    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QStringLiteral("Fehler beim Öffnen der Datei zum Schreiben: %1")
            .arg(file.errorString());

    QByteArray bytes = withBom ? QByteArrayLiteral("\xEF\xBB\xBF") : QByteArray();
    bytes += text.toUtf8();
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        file.cancelWriting();
        return QStringLiteral(
                   "Fehler: Datei konnte nicht vollständig geschrieben werden (%1 von %2 Bytes).")
            .arg(written)
            .arg(bytes.size());
    }
    if (!file.commit())
        return QStringLiteral("Fehler beim Abschließen des Schreibvorgangs: %1")
            .arg(file.errorString());
    return QString();
}

QModelIndex DataSheetObject::cell(int viewRow, int col) const
{
    if (!m_model || viewRow < 0 || viewRow >= numRows())
        return QModelIndex();
    const int row = m_firstRow + viewRow;
    if (row >= m_model->rowCount() || col < 0 || col >= m_model->columnCount())
        return QModelIndex();
    return m_model->index(row, col);
}

int DataSheetObject::column(const QString &name, bool internal) const
{
    return (internal ? m_captionIndex : m_idIndex).value(name.toLower(), -1);
}

QVariant DataSheetObject::editValue(int viewRow, int col) const
{
    return getValue(viewRow, col, Qt::EditRole);
}

QDateTime DataSheetObject::textAsDateTime(int viewRow, int col, const QVariant &text,
                                          int fieldType) const
{
    const QModelIndex index = cell(viewRow, col);
    if (m_document && qobject_cast<QXlsx::SheetModel *>(m_model.data()) && index.isValid()) {
        return cellValue(m_dateText, *m_document, index.row() + 1, index.column() + 1, fieldType,
                         m_date1904);
    }
    return convertCellValue(m_dateText, text, QVariant(), fieldType, m_date1904);
}

bool DataSheetObject::isProtected(const QString &filePath) const
{
    return std::any_of(m_protectedFiles.cbegin(), m_protectedFiles.cend(),
                       [&](const QString &name) { return wouldReplace(filePath, name); });
}
