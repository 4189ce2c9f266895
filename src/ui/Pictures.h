#pragma once
// The program's own pictures, carried as resources: the toolbar strips, the application icon
// and the picture of the Settings page.

#include <QIcon>
#include <QPixmap>
#include <QString>

#include "ui/ImageList.h"

namespace ui {

// The bitmap resource for the toolbar pictures: the system's style by its GetWindowsVersion
// code, then "_LO" (16 colours) below 17 bits per pixel and "_HI" from there on.
QString ToolbarBitmapName(int windowsVersion, int colorDepth);

// The Windows version classification; always 0 ("unknown") on this system.
int GetWindowsVersion();

// The screen's bits per pixel.
int GetColorDepth();

// The strip of that name, drawn for the device pixel ratio: a "_HI" strip has a second
// drawing at twice the size for screens of ratio 2 and more. A null pixmap when there is no
// such strip.
QPixmap LoadToolbarStrip(const QString& name, qreal devicePixelRatio);

// Empties the list and adds the strip chosen for this system and screen as 16 x 16 pictures,
// magenta transparent. On a dark palette the pictures' dark colours are drawn light.
void LoadToolbarImages(TImageList& images);

QIcon ApplicationIcon();
QIcon SettingsPicture();

}  // namespace ui
