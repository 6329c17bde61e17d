#include "platform/DesktopId.h"

namespace vireo {

const char* DesktopAppId() { return VIREO_APP_ID; }

}  // namespace vireo
