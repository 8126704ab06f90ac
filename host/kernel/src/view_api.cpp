// Interface placeholders of the view calls; each is replaced by its real implementation.
#include "qor/kernel/kernel.h"


extern "C" {
int32_t G_SetWidth(int32_t) { return 0; }
int32_t G_Triangle(int32_t, int32_t, int32_t, int32_t) { return 0; }
int32_t G_Text(int32_t, int32_t, int32_t, int32_t, const char*) { return 0; }
int32_t G_DPtoLP(int32_t, int32_t, int32_t*, int32_t*) { return 0; }
int32_t G_DrawGrid(const KRect*, int32_t step, int32_t) { return step; }
int32_t G_ThickPenCount(void) { return 0; }
int32_t G_FreeThickPen(int32_t, int32_t) { return 0; }
int32_t G_BackgroundColor(void) { return 0; }
int32_t G_PickAperture(void) { return 4; }
int32_t G_CopyView(void) { return 0; }
int32_t G_DispView(int32_t) { return 0; }
int32_t G_DeleteObject(int32_t) { return 0; }
int32_t G_CopyScreen(int32_t, int32_t, int32_t, int32_t, int32_t) { return 0; }
int32_t N_DrawAllNodes(int32_t) { return 0; }
int32_t N_DrawNetRatsnest(int32_t) { return 0; }
int32_t T_DrawLayoutAllTexts(int32_t) { return 0; }
}
