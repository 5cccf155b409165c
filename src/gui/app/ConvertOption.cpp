// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/ConvertOption.h"

#include <QCheckBox>
#include <QComboBox>

#include "convert/AudioConverterLoader.h"
#include "core/config/PrivateProfile.h"
#include "gui/common/Prompt.h"
#include "gui/common/StoredOption.h"

namespace {

constexpr const char* kSection = "copie";
constexpr const char* kConvertKey = "convertir";
constexpr const char* kRateKey = "debitmp3";

}  // namespace

CConvertOption::CConvertOption(QCheckBox* check, QComboBox* rates, const koral::RunContext& context, QWidget* window)
    : QObject(window), m_check(check), m_rates(rates), m_context(context), m_window(window) {
  for (const int kbps : koral::kConvertRates) m_rates->addItem(QStringLiteral("%1 kb/s").arg(kbps), kbps);
  ShowRate(koral::kDefaultConvertRate);
  connect(m_check, &QCheckBox::toggled, this, &CConvertOption::OnToggled);
  ShowEnabledState();
}

void CConvertOption::Read(const std::filesystem::path& configIni) {
  const int kbps = koral::GetPrivateProfileInt(kSection, kRateKey, configIni);
  // A rate the encoder is not offered (typed by hand, an older release) is the default one.
  ShowRate(koral::IsConvertRate(kbps) ? kbps : koral::kDefaultConvertRate);
  m_check->setChecked(koral::GetPrivateProfileInt(kSection, kConvertKey, configIni) == 1);
  ShowEnabledState();
}

void CConvertOption::Save(const std::filesystem::path& configIni) const {
  StoreOption(kSection, kConvertKey, m_check->isChecked() ? 1 : 0, configIni);
  StoreOption(kSection, kRateKey, ShownRate(), configIni);
}

int CConvertOption::Rate() const { return Converter() != nullptr ? ShownRate() : 0; }

const koral::AudioConverter* CConvertOption::Converter() const {
  return m_check->isChecked() ? m_converter.get() : nullptr;
}

// Ticked, by a click or from Config.ini: the converter is loaded now, so
// that a missing library is told before any copy counts on it.
void CConvertOption::OnToggled() {
  if (m_check->isChecked() && !LoadConverter()) m_check->setChecked(false);
  ShowEnabledState();
}

bool CConvertOption::LoadConverter() {
  if (m_converter) return true;
  if (m_unavailable) return false;
  const koral::LoadedAudioConverter loaded = koral::LoadAudioConverter(m_context);
  if (loaded.converter) {
    m_converter = loaded.converter;
    return true;
  }
  m_unavailable = true;
  const QString reason = QString::fromStdString(loaded.failure);
  m_check->setToolTip(reason);
  Prompt::Message(m_window, reason, QStringLiteral("Conversion impossible"));
  return false;
}

void CConvertOption::ShowEnabledState() {
  m_check->setEnabled(!m_unavailable);
  m_rates->setEnabled(!m_unavailable && m_check->isChecked());
}

int CConvertOption::ShownRate() const { return m_rates->currentData().toInt(); }

void CConvertOption::ShowRate(int kbps) { m_rates->setCurrentIndex(m_rates->findData(kbps)); }
