#pragma once

#include "settings/SettingsPage.h"

// Placeholder until the page is built.
class CEqualiser final : public SettingsPage {
  Q_OBJECT

 public:
  explicit CEqualiser(QWidget* parent = nullptr);
};
