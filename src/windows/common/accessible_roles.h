#pragma once

#include <QAccessible>

struct QMetaObject;

// What screen readers say the windows and panels are. Plain widgets would all be read as
// fillers: a plain frame is read as a panel and a rule as a separator, and each window class
// is read as the role it is given.
namespace AccessibleRoles {

// Tells screen readers the roles. Call once, after the application object exists.
void Install();

// Every window of the class `windowClass` is read as `role`.
void Give(const QMetaObject& windowClass, QAccessible::Role role);

}  // namespace AccessibleRoles
