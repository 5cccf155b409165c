// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QString>

// A label for a path: cut in the middle to the room it has, so that both the
// folder and the file name stay in sight, with the whole path as its tooltip.
class CElidedLabel final : public QLabel {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CElidedLabel)

 public:
  explicit CElidedLabel(QWidget* parent = nullptr);

  void SetFullText(const QString& text);
  const QString& FullText() const { return m_fullText; }

  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Elide();

  QString m_fullText;
};
