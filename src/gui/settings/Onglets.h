// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <memory>

#include <QDialog>

#include "core/platform/RunContext.h"
#include "gui/settings/SettingsPage.h"

class QTabWidget;

namespace Ui {
class COnglets;
}

// The settings sheet "Propriétés": tabs Radio, Equaliser and "Réglages de
// l'Koral". Modeless and independent: every press of "&Réglages Koral"
// opens another one, freed when its window closes. A page is built and
// loaded the first time its tab is shown (the first one as the sheet opens).
class COnglets final : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(COnglets)

 public:
  enum PageIndex { kRadioPage = 0, kEqualiserPage = 1, kReglagesPage = 2, kPageCount = 3 };

  explicit COnglets(const koral::RunContext& context, QWidget* parent = nullptr);
  ~COnglets() override;

  QTabWidget* Tabs() const;
  // The page of a tab, or nullptr while its tab was never shown.
  SettingsPage* Page(int index) const { return m_pages[static_cast<size_t>(index)]; }

  bool HoldsUnwrittenChanges() const;
  // Asks "Enregistrer les modifications sur l'Koral ?" when a page holds
  // changes not yet written, and saves them when told to. False when the
  // sheet must stay open: "Annuler", or a save that failed.
  bool MayClose();
  // Closes at once; edits not yet written are dropped, options kept.
  void CloseWithoutQuestions();
  // Writes the options of the pages loaded; a sheet that has closed wrote
  // them then, and writes nothing more.
  void StoreOptions();

  // Escape and the close box come here.
  void reject() override;
  void done(int result) override;
  // The first tab's page is loaded before the sheet appears.
  void setVisible(bool visible) override;

 protected:
  // A sheet closed without being shown still stores its options.
  void closeEvent(QCloseEvent* event) override;
  // Enter never closes the sheet: a field takes its text by itself, and a
  // focused button presses itself.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnTabChanged(int index);
  void EnsurePage(int index);
  SettingsPage* CreatePage(int index, QWidget* container);
  void StoreOptionsAsClosing();

  std::unique_ptr<Ui::COnglets> m_ui;
  const koral::RunContext& m_context;  // the run's, which outlives every window
  std::array<SettingsPage*, kPageCount> m_pages{};
  std::array<QWidget*, kPageCount> m_pageHolders{};  // where each page goes, in its tab's scroll area
  int m_currentIndex = -1;
  bool m_closingWithoutQuestions = false;
  bool m_asking = false;  // the save question is on the screen
  bool m_closed = false;  // the options are stored: nothing more is written
};
