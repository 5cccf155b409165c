#include "settings/Radio.h"

#include <QLabel>
#include <QVBoxLayout>

CRadio::CRadio(QWidget* parent) : SettingsPage(parent) {
  setWindowTitle(QStringLiteral("Radio"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Radio"), this));
}
