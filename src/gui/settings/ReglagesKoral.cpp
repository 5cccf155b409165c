#include "settings/ReglagesKoral.h"

#include <QLabel>
#include <QVBoxLayout>

CReglagesKoral::CReglagesKoral(QWidget* parent) : SettingsPage(parent) {
  setWindowTitle(QStringLiteral("Réglages de l'Koral"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Réglages de l'Koral"), this));
}
