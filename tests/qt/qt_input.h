// A person's input on Qt widgets, as QTest delivers it: a slider's handle
// dragged with the mouse, focus moved out of a field.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QSlider>
#include <QStyleOptionButton>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

namespace zarvik::testing {

// Where the handle of `slider` is drawn, as the slider's style lays it out.
inline QRect sliderHandle(const QSlider& slider) {
  QStyleOptionSlider option;
  option.initFrom(&slider);
  option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
  option.orientation = slider.orientation();
  option.minimum = slider.minimum();
  option.maximum = slider.maximum();
  option.sliderPosition = slider.sliderPosition();
  option.sliderValue = slider.value();
  option.singleStep = slider.singleStep();
  option.pageStep = slider.pageStep();
  option.tickPosition = slider.tickPosition();
  option.tickInterval = slider.tickInterval();
  option.upsideDown = slider.orientation() == Qt::Horizontal
                          ? slider.invertedAppearance() != (option.direction == Qt::RightToLeft)
                          : !slider.invertedAppearance();
  return slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider);
}

// Clicks the box of a check box, where a person aims: a check box takes
// clicks on its box and its text only, not on the rest of its width.
inline void clickCheckBox(QAbstractButton& checkBox) {
  QStyleOptionButton option;
  option.initFrom(&checkBox);
  QRect box = checkBox.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &checkBox);
  QTest::mouseClick(&checkBox, Qt::LeftButton, Qt::NoModifier, box.center());
}

// Presses the handle of a horizontal slider, drags it in `steps` moves by
// `dx` pixels in all, and lets go.
inline void dragSliderHandle(QSlider& slider, int dx, int steps = 8) {
  const QPoint start = sliderHandle(slider).center();
  QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, start);
  for (int step = 1; step <= steps; ++step) {
    QTest::mouseMove(&slider, start + QPoint(dx * step / steps, 0));
  }
  QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, start + QPoint(dx, 0));
}

}  // namespace zarvik::testing
