// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/ElidedLabel.h"

#include <QResizeEvent>

CElidedLabel::CElidedLabel(QWidget* parent) : QLabel(parent) {
  // The layout gives the width; the text never asks for more.
  setSizePolicy(QSizePolicy::Ignored, sizePolicy().verticalPolicy());
  setTextFormat(Qt::PlainText);  // a file name may hold "<"
}

void CElidedLabel::SetFullText(const QString& text) {
  m_fullText = text;
  setToolTip(text);
  setAccessibleName(text);
  Elide();
}

QSize CElidedLabel::minimumSizeHint() const { return {0, QLabel::minimumSizeHint().height()}; }

void CElidedLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  Elide();
}

void CElidedLabel::Elide() {
  const int room = contentsRect().width();
  setText(fontMetrics().elidedText(m_fullText, Qt::ElideMiddle, room));
}
