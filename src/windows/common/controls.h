#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <Qt>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The controls of the windows, made alike in all of them: placed in twips of the parent's
// client area, showing their captions as plain text, each with its Italian accessible name.
namespace Controls {

// Places `widget` at a rectangle given in twips of its parent's client area.
void Place(QWidget* widget, int left, int top, int width, int height);

// A label showing an access-key caption ("&&" is one ampersand). Its accessible name is
// `accessibleName`, or the caption as shown when that is empty.
QLabel* Label(QWidget* parent, const QString& caption, const QFont& font,
              Qt::Alignment alignment = Qt::AlignLeft, const QString& accessibleName = {},
              bool wordWrap = false);

// A single-line text box holding `text`.
QLineEdit* TextBox(QWidget* parent, const QFont& font, Qt::Alignment alignment,
                   const QString& accessibleName, const QString& text = {});

// A read-only, word-wrapped text box on a yellow ground that takes no focus. Nothing reads
// such a box back, so a framed label shows it.
QLabel* ReadOnlyBox(QWidget* parent, const QFont& font, Qt::Alignment alignment,
                    const QString& accessibleName);

// A push button that Enter never presses: no button of the program is a default button.
// Its accessible name is `accessibleName`, or the caption as shown when that is empty.
QPushButton* Button(QWidget* parent, const QString& caption, const QString& accessibleName = {});

// A push button like Button() whose caption, when too long for one line, wraps at a blank
// onto a second one, centred, and is cut short with "…" where it still does not fit.
QPushButton* WrappingButton(QWidget* parent, const QString& caption,
                            const QString& accessibleName = {});

// Whether `button` shows its caption whole on one line.
bool CaptionFits(const QPushButton* button);

// A black horizontal rule one pixel thick, from x `fromX` to `toX` at height `y` (twips).
QFrame* Rule(QWidget* parent, int fromX, int toX, int y);

// Tab and Shift+Tab go through `widgets` in this order.
void ChainTabOrder(const QList<QWidget*>& widgets);

}  // namespace Controls
