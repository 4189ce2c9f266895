#include "ui/NotChangedBox.h"

#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/MsgStr.h"

namespace ui {

void ShowNotChangedBox(QWidget& parent, const QString& summary, const QString& details) {
    QDialog box(&parent);
    box.setObjectName("NotChangedBox");
    box.setWindowTitle(msg::ToQString(msg::kNotChangedTitle));
    QVBoxLayout layout(&box);
    QLabel heading(summary + "\n" + msg::ToQString(msg::kNotChangedHeading));
    layout.addWidget(&heading);
    QPlainTextEdit list(details);
    list.setObjectName("NotChangedList");
    list.setReadOnly(true);
    list.setLineWrapMode(QPlainTextEdit::NoWrap);
    list.setAccessibleName(msg::ToQString(msg::kNotChangedHeading));
    heading.setBuddy(&list);
    layout.addWidget(&list);
    QDialogButtonBox buttons;
    QPushButton* copy = buttons.addButton(msg::ToQString(msg::kCopy), QDialogButtonBox::ActionRole);
    buttons.addButton(QDialogButtonBox::Close)->setText(msg::ToQString(msg::kClose));
    QObject::connect(copy, &QPushButton::clicked, &box,
                     [&details] { QGuiApplication::clipboard()->setText(details); });
    QObject::connect(&buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    layout.addWidget(&buttons);
    box.resize(560, 320);
    box.exec();
}

}  // namespace ui
