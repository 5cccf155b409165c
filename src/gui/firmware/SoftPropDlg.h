#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include <QDialog>
#include <QString>

#include "firmware/ProfileTransfer.h"

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
  explicit CSoftPropDlg(QWidget* parent = nullptr);
  ~CSoftPropDlg() override;

 private:
  void FillVersionList();
  // The text of 1147 when it is one of its entries; nullopt (with a
  // message) for an empty list or typed text that matches none.
  std::optional<std::string> SelectedVersion();
  bool SaveVersion();
  void OnSaveVersion();
  void OnSaveVersionAndQuit();
  void OnButtonsauverprofil();
  void OnButtonchargerprofil();
  void ShowIssues(const koral::ProfileOperationResult& result, const std::string& version, const QString& title);

  std::unique_ptr<Ui::CSoftPropDlg> m_ui;
  std::filesystem::path m_configIni;
  QString m_profileFolder;
  std::string m_availableVersions;
  std::string m_currentVersion;
  std::optional<std::string> m_playerRoot;
};
