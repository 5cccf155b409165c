#include "settings/Equaliser.h"

#include <QLabel>
#include <QVBoxLayout>

CEqualiser::CEqualiser(QWidget* parent) : SettingsPage(parent) {
  setWindowTitle(QStringLiteral("Equaliser"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Equaliser"), this));
}
