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
  // The window is unloading: its close, by "&OK", Esc, its close box or the window system, has
  // been accepted. Whoever made the window decides what follows (the start-up splash's first
  // unload opens the main window).
  void Unloading();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Form_Load();
  void Form_Unload();
  void Command1_Click();

  bool unloading_ = false;
};
