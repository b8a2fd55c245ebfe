// The application object of Vantoric.
#pragma once

#include "framework/application.h"

namespace vantoric {

class CVantoricApp : public CApplication {
 public:
  CVantoricApp();
  bool InitInstance() override;
};

}  // namespace vantoric
