// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>

#include <QObject>

#include "core/copy/AudioConversion.h"
#include "core/platform/RunContext.h"

class QCheckBox;
class QComboBox;
class QWidget;

// "Convertir en MP3 ce que l'Koral ne lit pas" and its bit rate: the two
// options stored in Config.ini, and the converter they need, loaded the
// first time the box is ticked. When it cannot be loaded the user is told
// once and the box stays off and greyed, the reason as its tool tip.
class CConvertOption final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CConvertOption)

 public:
  CConvertOption(QCheckBox* check, QComboBox* rates, const koral::RunContext& context, QWidget* window);

  void Read(const std::filesystem::path& configIni);
  void Save(const std::filesystem::path& configIni) const;

  // The rate a copy converts at, 0 when the option is off or unavailable.
  int Rate() const;
  // The loaded converter while the option is on, else nullptr.
  const koral::AudioConverter* Converter() const;

 private:
  void OnToggled();
  bool LoadConverter();
  void ShowEnabledState();
  int ShownRate() const;
  void ShowRate(int kbps);

  QCheckBox* m_check;
  QComboBox* m_rates;
  const koral::RunContext& m_context;
  QWidget* m_window;
  std::shared_ptr<const koral::AudioConverter> m_converter;
  bool m_unavailable = false;
};
