#include "platform/qt/qt_view.h"

namespace zarvik::qt {

QtView::QtView(QWidget* root) : root_(root) {}

QtView::~QtView() {
  // The adapters go first, so no action can reach the panel while the
  // widgets are torn down.
  controls_.clear();
  delete root_.data();
}

void QtView::adopt(std::unique_ptr<QtControl> control) { controls_.push_back(std::move(control)); }

}  // namespace zarvik::qt
