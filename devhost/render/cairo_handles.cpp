#include "devhost/render/cairo_handles.h"

#include <fontconfig/fontconfig.h>

namespace devhost {

void releaseDrawingCaches()
{
    cairo_debug_reset_static_data();
    FcFini();
}

}  // namespace devhost
