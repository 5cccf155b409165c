// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/settings/Onglets.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/common/Prompt.h"
#include "gui/common/WindowPlacement.h"
#include "gui/settings/Equaliser.h"
#include "gui/settings/Radio.h"
#include "gui/settings/ReglagesKoral.h"
#include "ui_Equaliser.h"
#include "ui_Onglets.h"
#include "ui_Radio.h"
#include "ui_ReglagesKoral.h"

namespace {

// The size of a page's layout alone: its controls, without the page's class,
// which would read the player.
template <typename PageUi>
QSize LayoutSize() {
  QWidget sample;
  PageUi ui;
  ui.setupUi(&sample);
  return sample.sizeHint();
}

// Room for the largest page from the start: the sheet keeps its size when
// a larger page is first shown.
QSize LargestPageSize() {
  return LayoutSize<Ui::CRadio>().expandedTo(LayoutSize<Ui::CEqualiser>()).expandedTo(LayoutSize<Ui::CReglagesKoral>());
}

// A page that scrolls on a screen too small for it, and asks room for
// all of it where the screen allows.
class PageScrollArea final : public QScrollArea {
 public:
  explicit PageScrollArea(QWidget* parent) : QScrollArea(parent) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);  // the page's own controls take the keyboard
  }
  QSize sizeHint() const override { return widget() != nullptr ? widget()->minimumSize() : QScrollArea::sizeHint(); }
};

// The holder of a tab's page, inside a scroll area filling the tab.
QWidget* AddPageHolder(QWidget* tab, const QSize& pageSize) {
  auto* scrollArea = new PageScrollArea(tab);
  auto* holder = new QWidget(scrollArea);
  auto* layout = new QVBoxLayout(holder);
  layout->setContentsMargins(0, 0, 0, 0);
  holder->setMinimumSize(pageSize);
  scrollArea->setWidget(holder);
  tab->layout()->addWidget(scrollArea);
  return holder;
}

}  // namespace

COnglets::COnglets(const koral::RunContext& context, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::COnglets>()), m_context(context) {
  m_ui->setupUi(this);
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  const QSize pageSize = LargestPageSize();
  for (int index = 0; index < kPageCount; ++index)
    m_pageHolders[static_cast<size_t>(index)] = AddPageHolder(Tabs()->widget(index), pageSize);
  Tabs()->setCurrentIndex(kRadioPage);
  WindowPlacement::Place(*this, std::nullopt, sizeHint());
  connect(Tabs(), &QTabWidget::currentChanged, this, &COnglets::OnTabChanged);
}

// The tabs may still signal while they are torn down after this part of
// the sheet is gone; no page is deactivated then.
COnglets::~COnglets() { disconnect(Tabs(), nullptr, this, nullptr); }

QTabWidget* COnglets::Tabs() const { return m_ui->tabs; }

void COnglets::setVisible(bool visible) {
  if (visible && m_currentIndex < 0) OnTabChanged(Tabs()->currentIndex());
  QDialog::setVisible(visible);
}

void COnglets::OnTabChanged(int index) {
  if (m_currentIndex >= 0 && Page(m_currentIndex) != nullptr) Page(m_currentIndex)->StoreOptions();
  m_currentIndex = index;
  EnsurePage(index);
}

// Loaded before it is shown, as any message of its reading comes first.
void COnglets::EnsurePage(int index) {
  if (index < 0 || index >= kPageCount || Page(index) != nullptr) return;
  QWidget* container = m_pageHolders[static_cast<size_t>(index)];
  SettingsPage* page = CreatePage(index, container);
  page->Load();
  m_pages[static_cast<size_t>(index)] = page;
  container->layout()->addWidget(page);
  page->show();  // at once: the layout would only show it from the event loop
  connect(page, &SettingsPage::closeSheetRequested, this, &QWidget::close);
  connect(page, &SettingsPage::quitWithoutSavingRequested, this, &COnglets::CloseWithoutQuestions);
}

SettingsPage* COnglets::CreatePage(int index, QWidget* container) {
  switch (index) {
    case kRadioPage: return new CRadio(m_context, container);
    case kEqualiserPage: return new CEqualiser(m_context, container);
    default: return new CReglagesKoral(m_context, container);
  }
}

bool COnglets::HoldsUnwrittenChanges() const {
  bool holds = false;
  // Every page, so that each one takes the field being typed in.
  for (SettingsPage* page : m_pages)
    if (page != nullptr && page->HoldsUnwrittenChanges()) holds = true;
  return holds;
}

bool COnglets::MayClose() {
  if (m_asking) return false;
  if (m_closingWithoutQuestions || !HoldsUnwrittenChanges()) return true;
  raise();
  activateWindow();
  QPointer<COnglets> self(this);
  m_asking = true;
  const Prompt::SaveChoice choice =
      Prompt::SaveQuestion(this, QStringLiteral("Enregistrer les modifications sur l'Koral ?"), windowTitle());
  if (self.isNull()) return false;
  m_asking = false;
  if (m_closingWithoutQuestions || choice == Prompt::SaveChoice::kDiscard) return true;
  if (choice == Prompt::SaveChoice::kCancel) return false;
  for (int index = 0; index < kPageCount; ++index) {
    SettingsPage* page = Page(index);
    if (page == nullptr || !page->HoldsUnwrittenChanges()) continue;
    if (!page->SaveChanges()) {
      Tabs()->setCurrentIndex(index);  // the page whose save failed
      return false;
    }
  }
  return true;
}

void COnglets::CloseWithoutQuestions() {
  m_closingWithoutQuestions = true;
  // A question on the screen ends by itself, its answer taken as "Ne pas enregistrer".
  if (m_asking) return Prompt::DiscardOpenSaveQuestion();
  close();
}

void COnglets::StoreOptions() {
  if (m_closed) return;
  for (SettingsPage* page : m_pages)
    if (page != nullptr) page->StoreOptions();
}

void COnglets::reject() {
  if (MayClose()) QDialog::reject();
}

void COnglets::done(int result) {
  StoreOptionsAsClosing();
  QDialog::done(result);
}

void COnglets::closeEvent(QCloseEvent* event) {
  QDialog::closeEvent(event);
  if (event->isAccepted()) StoreOptionsAsClosing();
}

void COnglets::StoreOptionsAsClosing() {
  StoreOptions();
  m_closed = true;
}

void COnglets::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return event->accept();
  QDialog::keyPressEvent(event);
}
