#pragma once
// IChooser: the questions the window's commands put to the user, in one place, so that tests
// answer them in the user's stead. DesktopChooser() asks through the desktop's own dialogs.

#include <QString>
#include <QStringList>
#include <QWidget>

namespace ui {

class IChooser {
public:
    virtual ~IChooser() = default;
    // The existing files picked in the open-file dialog; empty when cancelled.
    virtual QStringList OpenFiles(QWidget& parent, const QString& filter) = 0;
    // The folder picked in the folder dialog; empty when cancelled.
    virtual QString SelectFolder(QWidget& parent, const QString& title) = 0;
    // Whether the user agrees to do what `question` asks; No is the safe default.
    virtual bool Confirm(QWidget& parent, const QString& title, const QString& question) = 0;
};

IChooser& DesktopChooser();

}  // namespace ui
