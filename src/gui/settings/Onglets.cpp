#include "settings/Onglets.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include "settings/Equaliser.h"
#include "settings/Radio.h"
#include "settings/ReglagesKoral.h"

COnglets::COnglets(QWidget* parent) : QDialog(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Propriétés"));
  setModal(false);
  m_tabs = new QTabWidget(this);
  m_tabs->setObjectName(QStringLiteral("tabs"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_tabs);
  for (const char* caption : {"Radio", "Equaliser", "Réglages de l'Koral"}) {
    auto* container = new QWidget(m_tabs);
    new QVBoxLayout(container);
    container->layout()->setContentsMargins(0, 0, 0, 0);
    m_tabs->addTab(container, QString::fromUtf8(caption));
  }
  m_tabs->setCurrentIndex(kRadioPage);
  OnTabChanged(kRadioPage);
  connect(m_tabs, &QTabWidget::currentChanged, this, &COnglets::OnTabChanged);
}

// The tabs may still signal while they are torn down after this part of
// the sheet is gone; no page is deactivated then.
COnglets::~COnglets() { disconnect(m_tabs, nullptr, this, nullptr); }

void COnglets::OnTabChanged(int index) {
  if (m_currentIndex >= 0 && Page(m_currentIndex) != nullptr) Page(m_currentIndex)->OnKillActive();
  m_currentIndex = index;
  EnsurePage(index);
}

void COnglets::EnsurePage(int index) {
  if (index < 0 || index >= kPageCount || Page(index) != nullptr) return;
  QWidget* container = m_tabs->widget(index);
  SettingsPage* page = CreatePage(index, container);
  m_pages[static_cast<size_t>(index)] = page;
  container->layout()->addWidget(page);
  page->show();  // at once: the layout would only show it from the event loop
  connect(page, &SettingsPage::closeSheetRequested, this, &QWidget::close);
}

SettingsPage* COnglets::CreatePage(int index, QWidget* container) {
  switch (index) {
    case kRadioPage: return new CRadio(container);
    case kEqualiserPage: return new CEqualiser(container);
    default: return new CReglagesKoral(container);
  }
}
