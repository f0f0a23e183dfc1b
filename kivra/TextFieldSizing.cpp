#include "TextFieldSizing.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>

namespace kivra {

namespace {

int verticalMargins(const QWidget *widget)
{
    const QMargins margins = widget->contentsMargins();
    return margins.top() + margins.bottom();
}

} // namespace

int lineEditWidthFor(const QLineEdit *edit, const QString &text)
{
    if (!edit)
        return 0;
    const QMargins textMargins = edit->textMargins();
    const QMargins contents = edit->contentsMargins();
    int width = QFontMetrics(edit->font()).size(Qt::TextSingleLine, text).width() +
        textMargins.left() + textMargins.right() + contents.left() + contents.right() + 4;
    if (edit->hasFrame())
        width += 2 * edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    return width;
}

void setHeightForLines(QWidget *widget, int lines)
{
    if (lines <= 0)
        return;
    if (auto *textEdit = qobject_cast<QTextEdit *>(widget)) {
        const QTextDocument *document = textEdit->document();
        const double height = QFontMetrics(document->defaultFont()).lineSpacing() * lines +
            2 * (document->documentMargin() + textEdit->frameWidth()) + verticalMargins(textEdit);
        textEdit->setFixedHeight(int(height));
    } else if (auto *plainEdit = qobject_cast<QPlainTextEdit *>(widget)) {
        const QTextDocument *document = plainEdit->document();
        const int margin = document ? int(document->documentMargin()) : 4;
        plainEdit->setFixedHeight(QFontMetrics(plainEdit->font()).lineSpacing() * lines +
                                  2 * plainEdit->frameWidth() + 2 * margin +
                                  verticalMargins(plainEdit));
    }
}

} // namespace kivra
