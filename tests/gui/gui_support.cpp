#include "gui_support.h"

#include <QApplication>
#include <QFile>
#include <QWidget>

#include "shell/shell.h"

GuiTest::GuiTest() : scopedPresenter_(presenter_), scopedSource_(source_) {
  EXPECT_TRUE(folder_.isValid());
  scopedFolder_.emplace(folder_.path());
  CloseAllWindows();
  Modulo1::ClearKeypad();
  Shell::SplashShown = 0;
}

GuiTest::~GuiTest() { CloseAllWindows(); }

void GuiTest::CloseAllWindows() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    window->close();
  }
  Settle();
}

void GuiTest::Settle() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString GuiTest::ConfigPath() const { return folder_.filePath(QStringLiteral("conf.ini")); }

void GuiTest::WriteConfig(const QByteArray& bytes) const {
  QFile file(ConfigPath());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray GuiTest::ReadConfig() const {
  QFile file(ConfigPath());
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

QByteArray GuiTest::ConfigFromLines(const QStringList& lines) {
  QByteArray bytes;
  for (const QString& line : lines) bytes += line.toLatin1() + "\r\n";
  return bytes;
}
