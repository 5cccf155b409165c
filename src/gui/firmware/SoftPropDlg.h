// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include <QDialog>
#include <QString>

#include "core/firmware/ProfileTransfer.h"
#include "core/platform/RunContext.h"

namespace Ui {
class CSoftPropDlg;
}

// "Firmware et profils": chooses the firmware version whose layout the
// settings windows use, and saves or loads profile files (the radio
// memories and the Perso equaliser preset of the player).
class CSoftPropDlg final : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CSoftPropDlg)

 public:
  explicit CSoftPropDlg(const koral::RunContext& context, QWidget* parent = nullptr);
  ~CSoftPropDlg() override;

  // Reads the versions and the profile folder from Config.ini, and finds the
  // player; called once, before the dialog is shown.
  void Load();

  // The version shown is not the one Config.ini holds; text being typed is
  // taken first.
  bool HoldsUnwrittenChanges();
  // Asks "Enregistrer les modifications sur l'Koral ?" when the version
  // shown is not saved yet; false when the dialog must stay open.
  bool MayClose();
  // Closes at once; the version shown is not saved.
  void CloseWithoutQuestions();

  // Escape and the close box come here; "Quitter" is an explicit choice and does not.
  void reject() override;

 protected:
  // Enter takes the typed version (see CommitTypedVersion) and never closes.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Typed text naming a listed version, whatever its case, selects that
  // entry; any other text puts back the entry selected before.
  void CommitTypedVersion();
  void FillVersionList();
  // The text of 1147 when it is one of its entries; nullopt (with a
  // message) for an empty list or typed text that matches none.
  std::optional<std::string> SelectedVersion();
  bool SaveVersion();
  void OnSaveVersion();
  void OnSaveVersionAndQuit();
  void OnButtonsauverprofil();
  void OnButtonchargerprofil();
  void ShowLoadResult(const koral::ProfileOperationResult& result, const std::string& version);
  void ShowIssues(const koral::ProfileOperationResult& result, const std::string& version, const QString& title);

  std::unique_ptr<Ui::CSoftPropDlg> m_ui;
  const koral::RunContext& m_context;  // the run's, which outlives every window
  std::filesystem::path m_configIni;
  QString m_profileFolder;
  std::string m_availableVersions;
  std::string m_currentVersion;
  std::optional<std::string> m_playerRoot;
  bool m_closingWithoutQuestions = false;
  bool m_asking = false;  // the save question is on the screen
};
