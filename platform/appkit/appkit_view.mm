#include "platform/appkit/appkit_view.h"

namespace zarvik::appkit {

AppKitView::AppKitView(::NSView* root, NSDictionary* outlets) : root_([root retain]), outlets_([outlets copy]) {}

AppKitView::~AppKitView() {
  controls_.clear();
  [outlets_ release];
  [root_ release];
}

}  // namespace zarvik::appkit
