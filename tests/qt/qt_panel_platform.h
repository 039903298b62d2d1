// The Qt panel as a dialog builds it (principal class, built bundle's ZarvikPDE.ui), shown, worked by Qt's test events.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <cmath>
#include <stdexcept>

#include "platform/qt/qt_bundle.h"
#include "platform/qt/qt_help_manager.h"
#include "plugin/zarvik_pde_plugin.h"
#include "support/log_capture.h"
#include "support/panel_platform.h"

namespace zarvik::testing {

class QtPanel final : public DrivenPanel, public ViewDriver {
 public:
  explicit QtPanel(std::shared_ptr<PDEPanel> panel) : panel_(std::move(panel)) {}

  const ZarvikPDE& core() const override { return dynamic_cast<const ZarvikPDE&>(*panel_); }
  ViewDriver* loadView() override {
    if (root_ != nullptr) return this;
    NSView* view = panel_->panelView();
    if (view == nullptr) return nullptr;
    root_ = static_cast<QWidget*>(view->nativeView());
    root_->show();
    root_->activateWindow();
    if (!QTest::qWaitForWindowActive(root_)) throw std::runtime_error("the panel's window is not active");
    return this;
  }
  void willShow() override { panel_->willShow(); }
  void restore() override { panel_->restoreValuesAndReturnError(nullptr); }
  void optionDidChange(const std::string& option, const std::string& choice) override {
    panel_->PPDOptionKeyValueDidChange(option, choice);
  }

  bool pickItem(std::string_view popup, int index) override {
    auto* combo = usable<QComboBox>(popup);
    if (combo == nullptr) return false;
    combo->showPopup();
    combo->view()->setCurrentIndex(combo->model()->index(index, combo->modelColumn()));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    return settle();
  }
  bool clickCheckBox(std::string_view box) override {
    auto* checkBox = usable<QCheckBox>(box);
    if (checkBox != nullptr) QTest::keyClick(checkBox, Qt::Key_Space);
    return checkBox != nullptr && settle();
  }
  bool moveSlider(std::string_view name, double value) override {
    auto* slider = usable<QSlider>(name);
    if (slider == nullptr) return false;
    // What a drag does: the handle goes down, moves, and is let go.
    slider->setSliderDown(true);
    slider->setSliderPosition(static_cast<int>(std::lround(value)));
    slider->setSliderDown(false);
    return settle();
  }
  bool typeText(std::string_view field, std::string_view text, bool commit) override {
    auto* edit = usable<QLineEdit>(field);
    if (edit == nullptr || edit->focusPolicy() == Qt::NoFocus) return false;
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    if (commit) QTest::keyClick(edit, Qt::Key_Return);
    return settle();
  }

  int itemCount(std::string_view popup) const override { return find<QComboBox>(popup).count(); }
  std::optional<std::string> shownKeyword(std::string_view popup) const override {
    const QComboBox& combo = find<QComboBox>(popup);
    QVariant keyword = combo.currentIndex() < 0 ? QVariant() : combo.itemData(combo.currentIndex(), Qt::UserRole);
    return keyword.isValid() ? std::optional(keyword.toByteArray().toStdString()) : std::nullopt;
  }
  int state(std::string_view box) const override { return find<QCheckBox>(box).isChecked() ? 1 : 0; }
  double sliderValue(std::string_view slider) const override { return find<QSlider>(slider).value(); }
  double sliderMinimum(std::string_view slider) const override { return find<QSlider>(slider).minimum(); }
  double sliderMaximum(std::string_view slider) const override { return find<QSlider>(slider).maximum(); }
  std::string text(std::string_view field) const override { return find<QLineEdit>(field).text().toStdString(); }
  bool isEnabled(std::string_view control) const override { return find<QWidget>(control).isEnabled(); }
  // Setting the text from code clears the flag that typing sets.
  bool hasPendingEdit(std::string_view field) const override { return find<QLineEdit>(field).isModified(); }

  QWidget& root() const { return *root_; }
  template <class Widget = QWidget>
  Widget& find(std::string_view outlet) const {
    auto* widget = root_->findChild<Widget*>(QString::fromLatin1(outlet.data(), static_cast<qsizetype>(outlet.size())));
    if (widget == nullptr) throw std::runtime_error("the view has no " + std::string(outlet));
    return *widget;
  }

 private:
  // The widget a person is about to work, focused; nullptr when disabled.
  template <class Widget>
  Widget* usable(std::string_view outlet) {
    Widget& widget = find<Widget>(outlet);
    if (!widget.isEnabled()) return nullptr;
    if (widget.focusPolicy() != Qt::NoFocus) widget.setFocus(Qt::MouseFocusReason);
    return &widget;
  }
  static bool settle() { QApplication::processEvents(); return true; }

  std::shared_ptr<PDEPanel> panel_;
  QWidget* root_ = nullptr;
};

class QtPanelPlatform final : public PanelPlatform {
 public:
  QtPanelPlatform() : previousHelp_(NSHelpManager::setShared(&help_)) {
    bundle_ = qt::QtBundle::open(QStringLiteral(ZARVIK_PDE_BUNDLE_DIR), QLocale(QLocale::English));
    if (!bundle_) throw std::runtime_error("the built bundle cannot be opened");
    registerBundleForClass(kPanelClassName, bundle_);
  }
  ~QtPanelPlatform() override {
    registerBundleForClass(kPanelClassName, nullptr);
    NSHelpManager::setShared(previousHelp_);
  }

  std::string name() const override { return "Qt"; }
  std::unique_ptr<DrivenPanel> build(std::shared_ptr<PDEPluginCallback> host) override {
    ZarvikPDEPlugIn principal;
    principal.initWithBundle(bundle_);
    std::optional<PDEPanelList> panels = principal.PDEPanelsForType(kPrintDialogExtensionType, std::move(host));
    return panels && !panels->empty() ? std::make_unique<QtPanel>(panels->front()) : nullptr;
  }

 private:
  LogCapture quiet_;
  qt::QtHelpManager help_;
  NSHelpManager* previousHelp_;
  std::shared_ptr<qt::QtBundle> bundle_;
};

}  // namespace zarvik::testing
