#include "app/MainLayout.h"

namespace MainLayout {

Resized resize(int W, int H, int cmdDateiWidth)
{
    Resized r;
    if (W - 300 >= 0)
        r.listWidth = W - 300;
    r.cmdDateiLeft = W - cmdDateiWidth - 150;
    if (r.cmdDateiLeft - 250 >= 0)
        r.txtBildpfadWidth = r.cmdDateiLeft - 250;
    if (H - lvwExifTool.top() - 100 >= 0)
        r.listHeight = H - lvwExifTool.top() - 100;
    return r;
}

} // namespace MainLayout
