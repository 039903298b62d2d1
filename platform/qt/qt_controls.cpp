#include "platform/qt/qt_controls.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPalette>
#include <climits>
#include <cmath>

#include "panel/value_text.h"

namespace zarvik::qt {
namespace {

// An already rounded number as an int, saturating at int's range: a slider
// position or a validator bound. NaN has none.
std::optional<int> wholeNumber(double rounded) {
  if (std::isnan(rounded)) return std::nullopt;
  if (rounded <= static_cast<double>(INT_MIN)) return INT_MIN;
  if (rounded >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(rounded);
}

// The theme's colour for normal or for disabled text in `role`, set for the
// active and inactive states; the disabled state keeps its own colour.
void applyTextColor(QWidget* widget, QPalette::ColorRole role, NSColor color) {
  const QPalette theme = QApplication::palette(widget);
  const QColor wanted = theme.color(color == NSColor::blackColor ? QPalette::Active : QPalette::Disabled, role);
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Active, role, wanted);
  palette.setColor(QPalette::Inactive, role, wanted);
  widget->setPalette(palette);
}

int truncated(float value) { return truncateToInt32(value).value_or(0); }

QString shownText(float value) { return QString::fromStdString(shownNumber(value, decimalSeparator())); }

float shownValue(const QString& text) {
  return narrowToFloat(typedNumber(text.toStdString(), decimalSeparator(), kAnyDecimals).value_or(0));
}

}  // namespace

std::string decimalSeparator() { return QLocale().decimalPoint().toStdString(); }

QtControl::~QtControl() = default;

std::unique_ptr<QtControl> makeControl(QWidget* widget) {
  if (auto* comboBox = qobject_cast<QComboBox*>(widget)) return std::make_unique<QtPopUpButton>(comboBox);
  if (auto* checkBox = qobject_cast<QCheckBox*>(widget)) return std::make_unique<QtCheckBox>(checkBox);
  if (auto* slider = qobject_cast<QAbstractSlider*>(widget)) return std::make_unique<QtSlider>(slider);
  if (auto* lineEdit = qobject_cast<QLineEdit*>(widget)) return std::make_unique<QtTextField>(lineEdit);
  if (auto* label = qobject_cast<QLabel*>(widget)) return std::make_unique<QtLabel>(label);
  return nullptr;
}

// Pop-up button.

class QtPopUpButton::Item final : public NSMenuItem {
 public:
  Item(QPointer<QComboBox> comboBox, int index) : comboBox_(std::move(comboBox)), index_(index) {}

  void setRepresentedObject(std::optional<std::string> object) override {
    if (!exists()) return;
    comboBox_->setItemData(index_, object ? QVariant(QByteArray::fromStdString(*object)) : QVariant(), Qt::UserRole);
  }

  std::optional<std::string> representedObject() const override {
    if (!exists()) return std::nullopt;
    QVariant data = comboBox_->itemData(index_, Qt::UserRole);
    if (!data.isValid()) return std::nullopt;
    return data.toByteArray().toStdString();
  }

 private:
  bool exists() const { return comboBox_ && index_ < comboBox_->count(); }

  QPointer<QComboBox> comboBox_;
  int index_;
};

QtPopUpButton::QtPopUpButton(QComboBox* comboBox) : comboBox_(comboBox) {
  // activated fires for a person's choice only, also when it is the item
  // already selected; currentIndexChanged would fire for code too.
  connect(comboBox, &QComboBox::activated, this, [this] {
    if (action_) action_(*this);
  });
}

QtPopUpButton::~QtPopUpButton() = default;

QWidget* QtPopUpButton::widget() const { return comboBox_; }

bool QtPopUpButton::setAction(const ControlAction& action) { return bindAction(action, action_); }

void QtPopUpButton::setEnabled(bool enabled) {
  if (comboBox_) comboBox_->setEnabled(enabled);
}

void QtPopUpButton::removeAllItems() {
  if (comboBox_) comboBox_->clear();
}

void QtPopUpButton::addItemWithTitle(const std::string& title) {
  if (comboBox_) comboBox_->addItem(QString::fromStdString(title));
}

NSInteger QtPopUpButton::indexOfSelectedItem() const { return comboBox_ ? comboBox_->currentIndex() : 0; }

NSInteger QtPopUpButton::indexOfItemWithRepresentedObject(const std::optional<std::string>& object) const {
  if (!comboBox_) return 0;
  if (!object) return -1;
  return comboBox_->findData(QVariant(QByteArray::fromStdString(*object)), Qt::UserRole, Qt::MatchExactly);
}

void QtPopUpButton::selectItemAtIndex(NSInteger index) {
  if (!comboBox_) return;
  bool inside = index >= 0 && index < comboBox_->count();
  comboBox_->setCurrentIndex(inside ? static_cast<int>(index) : -1);
}

NSMenuItem* QtPopUpButton::itemAtIndex(NSInteger index) {
  if (!comboBox_ || index < 0 || index >= comboBox_->count()) return nullptr;
  auto position = static_cast<std::size_t>(index);
  while (items_.size() <= position) {
    items_.push_back(std::make_unique<Item>(comboBox_, static_cast<int>(items_.size())));
  }
  return items_[position].get();
}

// Check box.

QtCheckBox::QtCheckBox(QCheckBox* checkBox) : checkBox_(checkBox) {
  // clicked fires for a click or the space bar, never for setChecked.
  connect(checkBox, &QCheckBox::clicked, this, [this] {
    if (action_) action_(*this);
  });
}

QWidget* QtCheckBox::widget() const { return checkBox_; }

bool QtCheckBox::setAction(const ControlAction& action) { return bindAction(action, action_); }

void QtCheckBox::setEnabled(bool enabled) {
  if (checkBox_) checkBox_->setEnabled(enabled);
}

NSInteger QtCheckBox::state() const { return checkBox_ && checkBox_->isChecked() ? 1 : 0; }

void QtCheckBox::setState(NSInteger state) {
  if (checkBox_) checkBox_->setChecked(state == 1);
}

// Slider.

QtSlider::QtSlider(QAbstractSlider* slider) : slider_(slider) {
  // Without tracking, a drag changes the value once, when the handle is let
  // go; keyboard, wheel and page steps change it at once.
  slider->setTracking(false);
  updatePageStep();
  connect(slider, &QAbstractSlider::valueChanged, this, [this] {
    if (!settingFromCode_ && action_) action_(*this);
  });
}

QWidget* QtSlider::widget() const { return slider_; }

bool QtSlider::setAction(const ControlAction& action) { return bindAction(action, action_); }

void QtSlider::setEnabled(bool enabled) {
  if (!slider_) return;
  // Disabling a slider that is being dragged lets its handle go, which
  // would pass for the person's release.
  settingFromCode_ = true;
  slider_->setEnabled(enabled);
  settingFromCode_ = false;
}

float QtSlider::floatValue() const { return slider_ ? static_cast<float>(slider_->value()) : 0; }

int QtSlider::intValue() const { return slider_ ? slider_->value() : 0; }

void QtSlider::setFloatValue(float value) {
  std::optional<int> position = wholeNumber(std::round(value));
  if (!slider_ || !position) return;
  settingFromCode_ = true;
  slider_->setValue(*position);
  settingFromCode_ = false;
}

void QtSlider::setMinValue(double value) {
  std::optional<int> minimum = wholeNumber(std::ceil(value));
  if (!slider_ || !minimum) return;
  // A narrower range moves the value inside it; that is no person's change.
  settingFromCode_ = true;
  slider_->setMinimum(*minimum);
  settingFromCode_ = false;
  updatePageStep();
}

void QtSlider::setMaxValue(double value) {
  std::optional<int> maximum = wholeNumber(std::floor(value));
  if (!slider_ || !maximum) return;
  settingFromCode_ = true;
  slider_->setMaximum(*maximum);
  settingFromCode_ = false;
  updatePageStep();
}

void QtSlider::updatePageStep() {
  // A page is a tenth of the range, and at least one position.
  long long span = static_cast<long long>(slider_->maximum()) - slider_->minimum();
  slider_->setPageStep(static_cast<int>(std::max<long long>(1, span / 10)));
}

// Text field.

QtTextField::QtTextField(QLineEdit* lineEdit)
    : lineEdit_(lineEdit),
      separator_(decimalSeparator()),
      decimals_(std::max(0, lineEdit->property(kDecimalsProperty).toInt())),
      shownText_(lineEdit->text()) {
  // No validator: one drops the keystrokes it does not take, and "2,5"
  // typed where it wants "2.5" would arrive as 25.
  // textEdited fires for typing only; editingFinished fires for Return and
  // for leaving the field, also when nothing was typed, so only a field the
  // person edited sends.
  connect(lineEdit, &QLineEdit::textEdited, this, [this] { edited_ = true; });
  connect(lineEdit, &QLineEdit::editingFinished, this, [this] { editingFinished(); });
}

QWidget* QtTextField::widget() const { return lineEdit_; }

bool QtTextField::setAction(const ControlAction& action) { return bindAction(action, action_); }

void QtTextField::setEnabled(bool enabled) {
  if (!lineEdit_) return;
  if (!enabled && edited_) {
    // An edit the person had not finished is dropped: disabling the field
    // takes its focus away, which must not pass for the end of the edit.
    edited_ = false;
    lineEdit_->setText(shownText_);
  }
  lineEdit_->setEnabled(enabled);
}

float QtTextField::floatValue() const {
  if (!lineEdit_) return 0;
  std::optional<double> typed = typedNumber(lineEdit_->text().toStdString(), separator_, kAnyDecimals);
  if (!typed) typed = typedNumber(shownText_.toStdString(), separator_, kAnyDecimals);
  return narrowToFloat(typed.value_or(0));
}

int QtTextField::intValue() const { return truncated(floatValue()); }

void QtTextField::setFloatValue(float value) {
  if (!lineEdit_) return;
  shownText_ = QString::fromStdString(shownNumber(value, separator_));
  edited_ = false;
  lineEdit_->setText(shownText_);
}

void QtTextField::setTextColor(NSColor color) {
  if (lineEdit_) applyTextColor(lineEdit_, QPalette::Text, color);
}

std::optional<double> QtTextField::accepted(const QString& text) const {
  std::optional<double> number = typedNumber(text.toStdString(), separator_, decimals_);
  // A whole number the float value cannot hold exactly would arrive as
  // another one.
  if (!number || (decimals_ == 0 && static_cast<double>(narrowToFloat(*number)) != *number)) return std::nullopt;
  return number;
}

void QtTextField::editingFinished() {
  if (!edited_ || !lineEdit_) return;
  edited_ = false;
  if (!accepted(lineEdit_->text())) {
    // Refused where the person sees it: the number before the edit is back.
    lineEdit_->setText(shownText_);
    return;
  }
  if (action_) action_(*this);
}

// Label.

QtLabel::QtLabel(QLabel* label) : label_(label) {}

QWidget* QtLabel::widget() const { return label_; }

void QtLabel::setEnabled(bool enabled) {
  if (label_) label_->setEnabled(enabled);
}

float QtLabel::floatValue() const { return label_ ? shownValue(label_->text()) : 0; }

int QtLabel::intValue() const { return truncated(floatValue()); }

void QtLabel::setFloatValue(float value) {
  if (label_) label_->setText(shownText(value));
}

void QtLabel::setTextColor(NSColor color) {
  if (label_) applyTextColor(label_, QPalette::WindowText, color);
}

}  // namespace zarvik::qt
