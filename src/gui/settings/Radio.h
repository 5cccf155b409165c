#pragma once

#include "settings/SettingsPage.h"

// Placeholder until the page is built.
class CRadio final : public SettingsPage {
  Q_OBJECT

 public:
  explicit CRadio(QWidget* parent = nullptr);
};
