#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QFrame;

// The About window; it also opens first, alone, as the start-up splash.
class AboutOrvida : public QWidget {
  Q_OBJECT

 public:
  explicit AboutOrvida(QWidget* parent = nullptr);

  // Holds the window open: a request to close it, by "&OK", Esc, its close box or the window
  // system, leaves it on the screen and is told by CloseRequested instead.
  void HoldCloses();
  // Ends the hold and closes the window.
  void Release();

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QFrame* Line1 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;
  QPushButton* Command1 = nullptr;
  QLabel* Text2 = nullptr;
  QLabel* Text1 = nullptr;

 signals:
  // The window, held, was asked to close. Told once, from the event loop after the close has
  // been refused, so that what follows (the main window's load and its warning, for the
  // start-up splash) never runs inside a close.
  void CloseRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Form_Load();
  void Command1_Click();

  bool held_ = false;
  bool closeRequested_ = false;
};
