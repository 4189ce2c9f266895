#include "ui/Chooser.h"

#include <QFileDialog>
#include <QMessageBox>

namespace ui {

namespace {

class TDesktopChooser : public IChooser {
public:
    QStringList OpenFiles(QWidget& parent, const QString& filter) override {
        return QFileDialog::getOpenFileNames(&parent, {}, {}, filter);
    }

    QString SelectFolder(QWidget& parent, const QString& title) override {
        return QFileDialog::getExistingDirectory(&parent, title);
    }

    bool Confirm(QWidget& parent, const QString& title, const QString& question) override {
        return QMessageBox::question(&parent, title, question, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    }
};

}  // namespace

IChooser& DesktopChooser() {
    static TDesktopChooser chooser;
    return chooser;
}

}  // namespace ui
