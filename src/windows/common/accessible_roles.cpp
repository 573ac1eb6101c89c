#include "windows/common/accessible_roles.h"

#include <QAccessibleWidget>
#include <QFrame>
#include <QHash>
#include <QMetaObject>
#include <QWidget>

namespace AccessibleRoles {

namespace {

// The roles given to window classes, by class name.
QHash<QString, QAccessible::Role>& GivenRoles() {
  static QHash<QString, QAccessible::Role> roles;
  return roles;
}

QAccessibleInterface* RoleOf(const QString& className, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget) return nullptr;
  const auto given = GivenRoles().constFind(className);
  if (given != GivenRoles().cend()) return new QAccessibleWidget(widget, *given);
  // Plain frames only: a label or a scroll area is a frame too, and has its own role.
  if (className == QLatin1String("QFrame") && widget->metaObject() == &QFrame::staticMetaObject) {
    const bool rule = static_cast<QFrame*>(widget)->frameShape() == QFrame::HLine;
    return new QAccessibleWidget(widget, rule ? QAccessible::Separator : QAccessible::Grouping);
  }
  return nullptr;
}

}  // namespace

void Install() { QAccessible::installFactory(RoleOf); }

void Give(const QMetaObject& windowClass, QAccessible::Role role) {
  GivenRoles().insert(QString::fromLatin1(windowClass.className()), role);
}

}  // namespace AccessibleRoles
