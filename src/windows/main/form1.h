#pragma once

#include <QString>
#include <QWidget>

#include "keypad/keypad.h"

class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// The main window: the manual roll above, the quick keypad panel below.
class Form1 : public QWidget {
  Q_OBJECT

 public:
  explicit Form1(QWidget* parent = nullptr);

  // Client heights in twips: the window's outer heights of 1650 and 3400 less the classic
  // frame's title bar and borders (304 twips).
  static constexpr int kClientWidth = 7752;
  static constexpr int kClosedClientHeight = 1346;
  static constexpr int kOpenClientHeight = 3096;

  // "Up" while the keypad panel is closed, "Down" while it is open.
  QString KeypadState;

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* Text1 = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* Text3 = nullptr;
  QLineEdit* Text2 = nullptr;
  QToolButton* Command5 = nullptr;
  QLabel* Image1 = nullptr;
  QPushButton* CmndUpDown = nullptr;
  QPushButton* CmndPersonalizza = nullptr;
  QPushButton* CmndAbout = nullptr;
  QPushButton* CmndEsci = nullptr;
  QFrame* Frame1 = nullptr;
  Runtime::OneBasedArray<QPushButton*, Modulo1::kKeypadSlots> Command1;
  QButtonGroup* Command1Group = nullptr;

  // Puts the slot captions of the keypad table on the keypad buttons.
  void RefreshKeypad();

 signals:
  // "&Informazioni su..." was pressed: whoever made the window shows the About window.
  void AboutRequested();

 private:
  void Form_Load();
  void Command5_Click();
  void Command1_Click(int index);
  void CmndUpDown_Click();
  void CmndPersonalizza_Click();
  void CmndAbout_Click();
  void CmndEsci_Click();

  void SetClientHeight(int twips);
  void ShowSum(int16_t sum);
};
