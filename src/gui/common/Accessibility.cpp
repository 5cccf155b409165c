// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QFocusFrame>
#include <QLineEdit>
#include <QMenu>

namespace {

// Its children are the drop-down list, then the field of an editable one, as
// in Qt's own.
class NamedComboBox final : public QAccessibleWidget {
 public:
  explicit NamedComboBox(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

  // Without an accessibleName, named after its entry as Qt's own is.
  QString text(QAccessible::Text kind) const override {
    const bool named = !Combo()->accessibleName().isEmpty();
    if (kind == QAccessible::Name && named) return Combo()->accessibleName();
    if (kind == QAccessible::Value || (kind == QAccessible::Name && !Combo()->currentText().isEmpty()) ||
        (kind == QAccessible::Description && named))
      return Combo()->currentText();
    return QAccessibleWidget::text(kind);
  }

  int childCount() const override { return Combo()->lineEdit() != nullptr ? 2 : 1; }

  QAccessibleInterface* child(int index) const override {
    if (index == 0) return QAccessible::queryAccessibleInterface(Combo()->view());
    if (index == 1 && Combo()->lineEdit() != nullptr) return QAccessible::queryAccessibleInterface(Combo()->lineEdit());
    return nullptr;
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child->object() == Combo()->view()) return 0;
    if (child->object() != nullptr && child->object() == Combo()->lineEdit()) return 1;
    return -1;
  }

  QStringList actionNames() const override { return QStringList{showMenuAction()} + QAccessibleWidget::actionNames(); }

  void doAction(const QString& action) override {
    if (action == showMenuAction()) return Combo()->showPopup();
    QAccessibleWidget::doAction(action);
  }

 private:
  QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
};

bool IsDecoration(const QWidget* widget) { return widget->property("accessibleDecoration").toBool(); }

// A plain container: Qt's own children, less the decorations.
class ContainerWithoutDecoration final : public QAccessibleWidget {
 public:
  explicit ContainerWithoutDecoration(QWidget* container) : QAccessibleWidget(container) {}

  int childCount() const override { return static_cast<int>(Children().size()); }

  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> children = Children();
    return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children.at(index)) : nullptr;
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    return static_cast<int>(Children().indexOf(qobject_cast<QWidget*>(child->object())));
  }

 private:
  // The widgets Qt's own interface lists (not windows, menus, focus frames
  // nor Qt's inner parts), in the same order.
  QList<QWidget*> Children() const {
    static const QStringList kInnerParts{QStringLiteral("qt_rubberband"),
                                         QStringLiteral("qt_qmainwindowextensionbutton"),
                                         QStringLiteral("qt_spinbox_lineedit")};
    QList<QWidget*> shown;
    for (QObject* object : widget()->children()) {
      auto* child = qobject_cast<QWidget*>(object);
      if (child == nullptr || child->isWindow() || qobject_cast<QFocusFrame*>(child) != nullptr ||
          qobject_cast<QMenu*>(child) != nullptr || kInnerParts.contains(child->objectName()) || IsDecoration(child))
        continue;
      shown.append(child);
    }
    return shown;
  }
};

// Asked for each class of a widget, most derived first, before Qt's own
// factory: a class Qt has its own interface for never reaches "QWidget".
QAccessibleInterface* Factory(const QString& className, QObject* object) {
  // Every one: the interface is made as the first entries are added, before
  // the accessibleName of a .ui file is set.
  if (className == QLatin1String("QComboBox")) return new NamedComboBox(static_cast<QComboBox*>(object));
  auto* widget = qobject_cast<QWidget*>(object);
  if (className == QLatin1String("QWidget") && widget != nullptr && !widget->isWindow())
    return new ContainerWithoutDecoration(widget);
  return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() { QAccessible::installFactory(&Factory); }
