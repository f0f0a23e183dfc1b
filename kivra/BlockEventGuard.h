#pragma once

#include <QPointer>
#include <QWidget>

namespace kivra {

// Marks a widget so that no framework callback fires for it (while the program itself
// changes it). The mark is a flag, not a counter: switching it off ends all blocking.
void setBlockEvent(const QPointer<QWidget> &widget, bool on);
bool isEventBlocked(const QPointer<QWidget> &widget);

// Blocks the widget's callbacks for the guard's lifetime.
class BlockEventGuard
{
public:
    explicit BlockEventGuard(const QPointer<QWidget> &widget);
    ~BlockEventGuard();

private:
    Q_DISABLE_COPY_MOVE(BlockEventGuard)

    QPointer<QWidget> m_widget;
};

} // namespace kivra
