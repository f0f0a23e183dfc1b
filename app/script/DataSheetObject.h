#pragma once

#include <engine/DateTextSettings.h>

#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

class QAbstractItemModel;

namespace QXlsx {
class Document;
}

// The one object a user script sees, as the global "DataSheetObject": the output table before it
// is written. Rows are view rows, the data rows below the title row; columns are addressed by
// index or by name, either their id ("1", "2", ... for CSV, "A", "B", ... for a worksheet) or,
// with internal set, their caption; names match without regard to case. No method throws: a
// missing cell or name gives an empty text, 0, false, an invalid value or -1.
class DataSheetObject : public QObject
{
    Q_OBJECT

public:
    explicit DataSheetObject(QObject *parent = nullptr);

    // Binds the object to model (not owned; it must outlive the script). The view rows run from
    // model row firstRow to lastRow (-1: the last row); a window outside the model becomes the
    // whole model, an empty model gives no rows. ids and captions name the columns in order; of
    // two names equal but for case, the later column wins.
    void init(QAbstractItemModel *model, const QStringList &ids, const QStringList &captions,
              int firstRow, int lastRow, bool hasTitle, bool date1904);
    // The workbook behind a sheet model, so that text cells are read as dates with their own
    // number format; not owned.
    void setWorkbook(QXlsx::Document *document);
    // How text is read as a date or date-time.
    void setDateTextSettings(const vondrel::DateTextSettings &settings);
    // Files the script must never write: the input, the output, the script and the options.
    void setProtectedFiles(const QStringList &fileNames);

    Q_INVOKABLE int numRows() const;
    Q_INVOKABLE bool isEmpty() const;
    Q_INVOKABLE int numCols() const;
    // display true: the caption, false: the id.
    Q_INVOKABLE QString colName(int i, bool display = true) const;
    Q_INVOKABLE int colNo(const QString &name, bool display = true) const;

    Q_INVOKABLE QString getText(int viewRow, int col) const;
    Q_INVOKABLE bool setText(int viewRow, int col, const QString &s);
    Q_INVOKABLE QString getText(int viewRow, const QString &name, bool internal = false) const;
    Q_INVOKABLE bool setText(int viewRow, const QString &name, const QString &s,
                             bool internal = false);

    Q_INVOKABLE QVariant getValue(int viewRow, int col, int role = Qt::DisplayRole) const;
    Q_INVOKABLE QVariant getValue(int viewRow, const QString &name, bool internal = false,
                                  int role = Qt::DisplayRole) const;
    Q_INVOKABLE bool setValue(int viewRow, int col, const QVariant &v, int role = Qt::EditRole);
    Q_INVOKABLE bool setValue(int viewRow, const QString &name, const QVariant &v,
                              bool internal = false, int role = Qt::EditRole);

    Q_INVOKABLE bool setInt(int viewRow, int col, int v);
    Q_INVOKABLE bool setInt(int viewRow, const QString &name, int v, bool internal = false);
    Q_INVOKABLE bool setInt64(int viewRow, int col, qlonglong v, int role = Qt::EditRole);
    Q_INVOKABLE bool setInt64(int viewRow, const QString &name, qlonglong v, bool internal = false,
                              int role = Qt::EditRole);
    Q_INVOKABLE bool setDouble(int viewRow, int col, double v);
    Q_INVOKABLE bool setDouble(int viewRow, const QString &name, double v, bool internal = false);
    Q_INVOKABLE bool setBool(int viewRow, int col, bool v);
    Q_INVOKABLE bool setBool(int viewRow, const QString &name, bool v, bool internal = false);
    Q_INVOKABLE bool setString(int viewRow, int col, const QString &v);
    Q_INVOKABLE bool setString(int viewRow, const QString &name, const QString &v,
                               bool internal = false);
    Q_INVOKABLE bool setDate(int viewRow, int col, const QDate &v);
    Q_INVOKABLE bool setDate(int viewRow, const QString &name, const QDate &v,
                             bool internal = false);
    Q_INVOKABLE bool setDateTime(int viewRow, int col, const QDateTime &v);
    Q_INVOKABLE bool setDateTime(int viewRow, const QString &name, const QDateTime &v,
                                 bool internal = false);

    // The typed getters read the edit value. Text is read leniently ("1.234,5" is 1234.5, cut
    // toward zero for the integer forms); beyond an integer's range its bound, NaN gives 0.
    Q_INVOKABLE int getInt(int viewRow, int col) const;
    Q_INVOKABLE int getInt(int viewRow, const QString &name, bool internal = false) const;
    Q_INVOKABLE qlonglong getInt64(int viewRow, int col) const;
    Q_INVOKABLE qlonglong getInt64(int viewRow, const QString &name, bool internal = false) const;
    Q_INVOKABLE double getDouble(int viewRow, int col) const;
    Q_INVOKABLE double getDouble(int viewRow, const QString &name, bool internal = false) const;
    // "ja", "wahr", "true", "yes", "1" are true, "nein", "falsch", "false", "no", "0" false.
    Q_INVOKABLE bool getBool(int viewRow, int col) const;
    Q_INVOKABLE bool getBool(int viewRow, const QString &name, bool internal = false) const;
    Q_INVOKABLE QString getString(int viewRow, int col) const;
    Q_INVOKABLE QString getString(int viewRow, const QString &name, bool internal = false) const;
    Q_INVOKABLE QDate getDate(int viewRow, int col) const;
    Q_INVOKABLE QDate getDate(int viewRow, const QString &name, bool internal = false) const;
    Q_INVOKABLE QDateTime getDateTime(int viewRow, int col) const;
    Q_INVOKABLE QDateTime getDateTime(int viewRow, const QString &name,
                                      bool internal = false) const;

    Q_INVOKABLE void messageBox(const QString &title, const QString &s) const;
    Q_INVOKABLE void toClipBoard(const QString &s) const;
    // Appends a column after the last one, with dispName in the title row; its index, or -1
    // when the name or id is taken, the table has no room for a title, or the name lists do not
    // cover every column of the table.
    Q_INVOKABLE int insertColumn(const QString &dispName);
    // Scales the number inside s by factor, keeping its decimals and grouping; sep 0 writes a
    // decimal comma, anything else a point. s unchanged when its number is not finite.
    Q_INVOKABLE QString scaleNumericString(const QString &s, double factor, int sep) const;
    Q_INVOKABLE bool writeUtf8TextFile(const QString &filePath, const QString &text,
                                       bool withBom) const;
    // Writes text as UTF-8, the whole file or nothing, creating missing directories; "" on
    // success, else a German message. The protected files are refused.
    Q_INVOKABLE QString writeUtf8TextFileEx(const QString &filePath, const QString &text,
                                            bool withBom) const;

private:
    // The model cell of a view row and column; invalid when there is none.
    QModelIndex cell(int viewRow, int col) const;
    int column(const QString &name, bool internal) const;
    QVariant editValue(int viewRow, int col) const;
    // A text cell read as a date-time for the field type (21 date, 22 date-time).
    QDateTime textAsDateTime(int viewRow, int col, const QVariant &text, int fieldType) const;
    bool isProtected(const QString &filePath) const;

    QPointer<QAbstractItemModel> m_model;
    QXlsx::Document *m_document = nullptr;
    vondrel::DateTextSettings m_dateText;
    QStringList m_protectedFiles;
    QStringList m_ids;
    QStringList m_captions;
    // Lower-case name -> column index.
    QMap<QString, int> m_idIndex;
    QMap<QString, int> m_captionIndex;
    int m_firstRow = 0;
    int m_lastRow = -1;
    bool m_hasTitle = true;
    bool m_date1904 = false;
};
