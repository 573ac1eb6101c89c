#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

#include "keypad/keypad.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The dialog that edits the twenty keypad presets, ten at a time on two pages. It works on
// its own copy of the keypad table; only "&OK" copies it back and saves it.
class Form2 : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kRows = 10;

  explicit Form2(QWidget* parent = nullptr);

  // Shows the dialog modal over `owner` and returns once it has closed and been destroyed.
  static void ShowModal(QWidget* owner);

  // The working copy, slots 1 to 20.
  Runtime::OneBasedArray<QString, Modulo1::kKeypadSlots> EditText;
  Runtime::OneBasedArray<int16_t, Modulo1::kKeypadSlots> EditCount;
  Runtime::OneBasedArray<int16_t, Modulo1::kKeypadSlots> EditSides;

  QLabel* Label6 = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;
  QFrame* Line1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  Runtime::OneBasedArray<QLabel*, kRows> Label4;
  Runtime::OneBasedArray<QLineEdit*, kRows> Text1;
  Runtime::OneBasedArray<QLineEdit*, kRows> Text2;
  Runtime::OneBasedArray<QLabel*, kRows> Label5;
  Runtime::OneBasedArray<QLineEdit*, kRows> Text3;
  QPushButton* Command4 = nullptr;
  QPushButton* Command3 = nullptr;

 private:
  void Form_Load();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();

  void ShowPage(int first);
  void TakeBackPage(int first);
};
