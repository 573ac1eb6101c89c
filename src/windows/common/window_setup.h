#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

class QAbstractButton;
class QLabel;
class QWidget;

// What every window of the program shares: its frame, its place on the screen, its icon and
// pictures, and its cancel key.
namespace Window {

// A fixed-size dialog frame: title, close box only, no taskbar entry, client area w × h.
void SetFixedDialog(QWidget* window, const QString& title, int width, int height);

// Centres the window's client area on the screen that will show it.
void CentreOnScreen(QWidget* window);

// The PNG picture at `file`, e.g. ":/images/about.png", read once and then kept in the
// pixmap cache; null when it is missing or not a PNG.
QPixmap Picture(const QString& file);

// Shows the picture at `file` stretched over the whole of `label`, placed beforehand. The
// picture is decoded once and stretched once, to the label's size in device pixels, with
// the smooth filter a label stretching its picture at every paint would use; only the
// stretched copy is kept, and the label has no stretching left to do. Where the resources
// hold that copy ready, "<name>-<w>x<h>.ppm" for a label of w × h device pixels, the label
// paints it from there and nothing is decoded at all.
void ShowStretchedPicture(QLabel* label, const QString& file);

// The icon drawn as ":/images/<name>-16.png", "-32.png" and any larger sizes present.
QIcon Icon(const QString& name);

// Makes `button` the window's cancel button: Esc presses it.
void SetCancelButton(QWidget* window, QAbstractButton* button);

}  // namespace Window
