// The renderer's side of the model: a painter for every view class it draws,
// the per-report render state, installed into the model at start-up.
#pragma once

namespace zentavo {

// Installs the painters and the render state (once; later calls do nothing).
void InstallRendering();

// The painters, one per drawing file.
void RegisterMemoPainter();
void RegisterLinePainter();
void RegisterShapePainter();
void RegisterPicturePainter();

}  // namespace zentavo
