#include "ui/PageLayout.h"

#include "ui/MsgStr.h"

namespace ui {

QGridLayout& PageGrid(QWidget& page) {
    auto* grid = new QGridLayout(&page);  // owned by the page
    grid->setContentsMargins(5, 5, 5, 5);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    grid->setColumnMinimumWidth(0, kIndent - 5 - grid->horizontalSpacing());
    return *grid;
}

void EndGrid(QGridLayout& grid) {
    grid.setRowStretch(grid.rowCount(), 1);
    grid.setColumnStretch(grid.columnCount(), 1);
}

QString AccessibleText(const QAbstractButton& button) {
    QString text =
        QString::fromStdString(msg::StripAmpersand(button.text().toStdString())).trimmed();
    if (text.endsWith(':'))
        text.chop(1);
    return text;
}

}  // namespace ui
