#include "app/varmodule.h"

namespace varModule {

QString LastPath;

} // namespace varModule
