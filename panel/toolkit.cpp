#include "panel/toolkit.h"

namespace zarvik {

AbsentControl& AbsentControl::instance() {
  static AbsentControl control;
  return control;
}

}  // namespace zarvik
