// The scene's arithmetic built for processors with AVX2 and FMA: eight cells at a time instead of four.
// Only called where the processor has them (RainScene.cpp checks at run time).
#include "renderer/RainSceneKernels.h"

namespace velsora {

void StepSurfaceAvx2(RainScene& scene) {
  StepSurfaceKernel<true>(scene);
}

void BuildSurfaceMeshAvx2(RainScene& scene) {
  BuildSurfaceMeshKernel<true>(scene);
}

}  // namespace velsora
