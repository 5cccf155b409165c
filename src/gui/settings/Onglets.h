#pragma once

#include <array>
#include <memory>

#include <QDialog>

#include "settings/SettingsPage.h"

class QTabWidget;

namespace Ui {
class COnglets;
}

// The settings sheet "Propriétés": tabs Radio, Equaliser and "Réglages de
// l'Koral". Modeless and independent: every press of "&Réglages Koral"
// opens another one, freed when its window closes.
class COnglets final : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(COnglets)

 public:
  enum PageIndex { kRadioPage = 0, kEqualiserPage = 1, kReglagesPage = 2, kPageCount = 3 };

  explicit COnglets(QWidget* parent = nullptr);
  ~COnglets() override;

  QTabWidget* Tabs() const;
  // The page of a tab, or nullptr while its tab was never shown.
  SettingsPage* Page(int index) const { return m_pages[static_cast<size_t>(index)]; }

 private:
  void OnTabChanged(int index);
  void EnsurePage(int index);
  SettingsPage* CreatePage(int index, QWidget* container);

  std::unique_ptr<Ui::COnglets> m_ui;
  std::array<SettingsPage*, kPageCount> m_pages{};
  int m_currentIndex = -1;
};
