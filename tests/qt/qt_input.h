// A person's input on Qt widgets where QTest has no word for it: a check
// box clicked on its box, a slider's handle dragged with the mouse.
#pragma once

#include <QAbstractButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>
#include <QTest>

namespace zarvik::testing {

// A check box takes clicks on its box and its text only, not on the rest of
// its width.
inline void clickCheckBox(QAbstractButton& checkBox) {
  QStyleOptionButton option;
  option.initFrom(&checkBox);
  QRect box = checkBox.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &checkBox);
  QTest::mouseClick(&checkBox, Qt::LeftButton, Qt::NoModifier, box.center());
}

// Presses the handle of a horizontal slider where its style draws it, drags
// it by `dx` pixels in eight moves, and lets go.
inline void dragSliderHandle(QSlider& slider, int dx) {
  struct Style : QSlider {
    static QRect handle(const QSlider& s) {
      QStyleOptionSlider option;
      (s.*&Style::initStyleOption)(&option);
      return s.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &s);
    }
  };
  const QPoint start = Style::handle(slider).center();
  QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, start);
  for (int step = 1; step <= 8; ++step) QTest::mouseMove(&slider, start + QPoint(dx * step / 8, 0));
  QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, start + QPoint(dx, 0));
}

}  // namespace zarvik::testing
