// The panel's root view on Qt: the root widget of the loaded view and the
// adapters of its controls, which live exactly as long as this view.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/qt/qt_controls.h"
#include "plugin/pde_protocol.h"

namespace zarvik::qt {

class QtView final : public NSView {
 public:
  // Takes ownership of `root`. A host may put the widget into a window of
  // its own; if that window destroys it first, the view's controls do
  // nothing from then on.
  explicit QtView(QWidget* root);
  // Deletes the root widget if it is still there.
  ~QtView() override;
  QtView(const QtView&) = delete;
  QtView& operator=(const QtView&) = delete;

  // The root QWidget*, or nullptr once it is gone.
  void* nativeView() const override { return root_.data(); }
  QWidget* widget() const { return root_.data(); }

  // Keeps `control` for the view's lifetime.
  void adopt(std::unique_ptr<QtControl> control);

 private:
  QPointer<QWidget> root_;
  std::vector<std::unique_ptr<QtControl>> controls_;
};

}  // namespace zarvik::qt
