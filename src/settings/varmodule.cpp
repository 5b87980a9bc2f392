#include "settings/varmodule.h"

namespace varModule {

QString LastPath;

} // namespace varModule
