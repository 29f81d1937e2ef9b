#include "app/play_settings.h"

namespace torvane {

PlaySettings loadPlaySettings()
{
    return PlaySettings{};
}

} // namespace torvane
