// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include "gui/common/Accessibility.h"

class AccessibilityTest final : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallAccessibleInterfaces(); }
  void aComboBoxIsNamedForWhatItIsAndTellsItsEntry();
  void aDecorationIsLeftOutOfItsContainersChildren();
};

// As uic builds it: the entries first, the accessibleName afterwards.
void AccessibilityTest::aComboBoxIsNamedForWhatItIsAndTellsItsEntry() {
  QWidget page;
  auto* named = new QComboBox(&page);
  named->addItems({QStringLiteral("SRS"), QStringLiteral("WOW")});
  QAccessibleInterface* namedInterface = QAccessible::queryAccessibleInterface(named);
  named->setAccessibleName(QStringLiteral("Mode actuel"));
  named->setCurrentIndex(1);
  QCOMPARE(namedInterface->text(QAccessible::Name), QStringLiteral("Mode actuel"));
  QCOMPARE(namedInterface->text(QAccessible::Description), QStringLiteral("WOW"));
  QCOMPARE(namedInterface->role(), QAccessible::ComboBox);
  QCOMPARE(namedInterface->childCount(), 1);
  QCOMPARE(namedInterface->child(0)->object(), static_cast<QObject*>(named->view()));
  QCOMPARE(namedInterface->indexOfChild(namedInterface->child(0)), 0);

  auto* unnamed = new QComboBox(&page);
  unnamed->setEditable(true);
  unnamed->addItem(QStringLiteral("119.0"));
  QAccessibleInterface* unnamedInterface = QAccessible::queryAccessibleInterface(unnamed);
  QCOMPARE(unnamedInterface->text(QAccessible::Name), QStringLiteral("119.0"));
  QCOMPARE(unnamedInterface->childCount(), 2);
  QCOMPARE(unnamedInterface->child(1)->object(), static_cast<QObject*>(unnamed->lineEdit()));
}

void AccessibilityTest::aDecorationIsLeftOutOfItsContainersChildren() {
  QWidget window;
  auto* page = new QWidget(&window);  // a plain container, as a settings page is
  auto* layout = new QVBoxLayout(page);
  auto* caption = new QLabel(QStringLiteral("62 Hz"), page);
  auto* mark = new QLabel(QStringLiteral("__"), page);
  mark->setProperty("accessibleDecoration", true);
  auto* button = new QPushButton(QStringLiteral("Quitter"), page);
  for (QWidget* widget : {static_cast<QWidget*>(caption), static_cast<QWidget*>(mark), static_cast<QWidget*>(button)})
    layout->addWidget(widget);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));

  QAccessibleInterface* interface = QAccessible::queryAccessibleInterface(page);
  QCOMPARE(interface->childCount(), 2);
  QCOMPARE(interface->child(0)->object(), static_cast<QObject*>(caption));
  QCOMPARE(interface->child(1)->object(), static_cast<QObject*>(button));
  QCOMPARE(interface->indexOfChild(QAccessible::queryAccessibleInterface(button)), 1);
  QCOMPARE(interface->indexOfChild(QAccessible::queryAccessibleInterface(mark)), -1);
  QVERIFY(mark->isVisible());
}

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
