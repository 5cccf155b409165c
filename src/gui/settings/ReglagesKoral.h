#pragma once

#include "settings/SettingsPage.h"

// Placeholder until the page is built.
class CReglagesKoral final : public SettingsPage {
  Q_OBJECT

 public:
  explicit CReglagesKoral(QWidget* parent = nullptr);
};
